// Runs the calculator's WebAssembly module away from the page, so that a long
// search or a large folder never stops the page from answering.
/* global createDropcalc, importScripts */
importScripts('dropcalc-core.js');

// The folders whose files the worker holds, by the number the module knows
// each by: {name, paths, files (Blob), read (the numbers of the files read),
// kept (the bytes of files read, by number, the one used last at the end),
// keptBytes, keep (the most bytes kept)}.
// A folder's files stay until a folder of the same name replaces it. The
// files come after the folder, a few at a time (dropcalc.js): a call that
// opens one not yet here is answered with {missing: folder}, and made again
// once they all are.
const browserFolders = new Map();
let lastFolder = 0;
let missing = null; // the folder of a file opened before it came

// How reading a file ended, as the module takes it (web/browserfiles.h).
const READ = 0;
const NOT_FOUND = 1;
const UNREADABLE = 2;
const OUT_OF_MEMORY = 3;
// The most bytes a data file may hold, as on disk.
const MAX_FILE_BYTES = 2 ** 30;

let calculator = null; // the module, once ready
const ready = createDropcalc({ readBrowserFile }).then((m) => {
  calculator = m;
  return m;
});
const encoder = new TextEncoder();

let reader = null; // a FileReaderSync, made when first needed

// Files read together when a search opens one not kept: the one opened and
// those after it, as one read of the browser, which costs about as much as
// reading one of them (0.12 ms a file against 0.3 to 0.6 ms for each alone).
const AHEAD_FILES = 64;
const AHEAD_BYTES = 2 ** 20;

// Keeps `bytes` as those of file `number` of `held`, dropping the files used
// least recently beyond its budget. A file larger than the budget is not kept.
function keep(held, number, bytes) {
  if (bytes.length > held.keep) return;
  held.kept.set(number, bytes);
  held.keptBytes += bytes.length;
  for (const [other, dropped] of held.kept) {
    if (held.keptBytes <= held.keep) break;
    held.kept.delete(other);
    held.keptBytes -= dropped.length;
  }
}

// The bytes of file `number` of `held` read with the files after it that are
// not kept yet, each of them kept; null when they are too few, or the read
// failed (a file changed or removed since): then the file is read alone,
// which tells what is wrong with it.
function readAhead(held, number) {
  const files = [];
  let size = 0;
  const most = Math.min(AHEAD_BYTES, held.keep / 8);
  for (let i = number; i < held.files.length && files.length < AHEAD_FILES && !held.kept.has(i); i++) {
    size += held.files[i].size;
    if (size > most) break;
    files.push(held.files[i]);
  }
  if (files.length < 2) return null;
  let all;
  try {
    all = new Uint8Array(reader.readAsArrayBuffer(new Blob(files)));
  } catch {
    return null;
  }
  if (all.length !== files.reduce((n, file) => n + file.size, 0)) return null;
  let at = 0;
  files.forEach((file, i) => {
    keep(held, number + i, all.slice(at, at + file.size));
    at += file.size;
  });
  return all.subarray(0, files[0].size);
}

// Reads the file `number` of the folder `folder` whole, while the module
// waits: from the bytes kept, or from the browser, into room the module
// gives for it, one buffer for the file.
function readBrowserFile(folder, number) {
  const held = browserFolders.get(folder);
  if (held && number >= held.files.length) missing = folder;
  const file = held?.files[number];
  if (!file) return NOT_FOUND;
  held.read.add(number);
  let bytes = held.kept.get(number);
  if (bytes) {
    held.kept.delete(number); // used last now
    held.kept.set(number, bytes);
  } else {
    if (file.size > MAX_FILE_BYTES) return OUT_OF_MEMORY;
    reader ??= new FileReaderSync();
    bytes = readAhead(held, number);
    if (!bytes) {
      try {
        bytes = new Uint8Array(reader.readAsArrayBuffer(file));
      } catch (error) {
        if (error instanceof RangeError) return OUT_OF_MEMORY; // no room for the bytes here
        // A file removed since it was picked is not found; one changed since
        // is refused by some browsers (NotReadableError), as is one that may
        // not be read.
        return error.name === 'NotFoundError' ? NOT_FOUND : UNREADABLE;
      }
      keep(held, number, bytes);
    }
  }
  const at = calculator._dropcalc_file_room(bytes.length);
  if (!at) return OUT_OF_MEMORY;
  calculator.HEAPU8.set(bytes, at); // after the call: the memory may have grown
  return READ;
}

// Reading the first byte of a picked file costs the browser about 0.7 ms:
// when more files than this were read, a folder loaded again is not looked
// over, and a file changed since gives "File access denied" at the search
// that reads it.
const MOST_LOOKED_OVER = 2000;

// The first file of those `earlier` read that the browser now refuses to
// read: a file picked with a file input that changed since. A browser that
// reads a file as it is now refuses none. The first byte of each is read,
// AHEAD_FILES of them in one read as long as none fails.
function changedSince(earlier) {
  if (earlier.read.size > MOST_LOOKED_OVER) return null;
  reader ??= new FileReaderSync();
  const read = Array.from(earlier.read);
  for (let at = 0; at < read.length; at += AHEAD_FILES) {
    const numbers = read.slice(at, at + AHEAD_FILES);
    try {
      reader.readAsArrayBuffer(new Blob(numbers.map((number) => earlier.files[number].slice(0, 1))));
      continue;
    } catch {
      // one of them failed: each alone tells which
    }
    for (const number of numbers) {
      try {
        reader.readAsArrayBuffer(earlier.files[number].slice(0, 1));
      } catch (error) {
        if (error.name === 'NotReadableError') return earlier.paths[number];
      }
    }
  }
  return null;
}

// A folder whose files the worker keeps (Blobs, File objects mostly): only
// their paths go to the module, which reads a file when a search opens it.
// `files` are the first of them; the bytes of files read are kept up to
// `keepBytes`, until the folder is loaded again. `samePicks`: the files are
// those of the folder loaded before under that name, picked once, which the
// browser may refuse to read once changed: then the player picks the folder
// again.
function loadBrowserFolder(m, name, paths, files, samePicks, keepBytes) {
  const earlier = Array.from(browserFolders.values()).find((held) => held.name === name);
  const changed = samePicks && earlier ? changedSince(earlier) : null;
  if (changed !== null) throw new Error(`${changed}: changed since the folder was picked: pick it again.`);
  const number = ++lastFolder;
  m._dropcalc_begin_browser_folder(number);
  writeWords(m, paths);
  const refused = m.ccall('dropcalc_add_browser_files', 'string', [], []);
  if (refused) throw new Error(refused);
  endFolder(m, name);
  browserFolders.set(number, { name, paths, files, read: new Set(), kept: new Map(), keptBytes: 0, keep: keepBytes });
  return { folder: number };
}

// More files of the folder `folder`, in the order of its paths.
function moreFiles(folder, files) {
  const held = browserFolders.get(folder);
  for (const file of held ? files : []) held.files.push(file);
  return held ? held.files.length : 0;
}

function bytesOf(value) {
  if (typeof value === 'string') return encoder.encode(value);
  if (value instanceof ArrayBuffer) return new Uint8Array(value);
  return new Uint8Array(value.buffer, value.byteOffset, value.byteLength);
}

// Writes `parts` one after another where the module reads the input of its
// next call. The module says when its memory ran out.
function writeInput(m, ...parts) {
  let at = m._dropcalc_input(parts.reduce((n, part) => n + part.length, 0));
  if (!at) throw new Error('Out of memory.');
  for (const part of parts) {
    m.HEAPU8.set(part, at); // after the call: the memory may have grown
    at += part.length;
  }
}

// Each file its bytes followed by its path's, the path's length given: a path
// is passed whole, a NUL in it too, to be refused there. Paths and names are
// UTF-8 as contents and arguments are (a lone surrogate becomes U+FFFD).
function loadFolder(m, name, files) {
  let bytes = 0;
  m._dropcalc_begin_folder();
  for (const file of files) {
    const content = bytesOf(file.bytes);
    const path = encoder.encode(file.path);
    writeInput(m, content, path);
    const refused = m.ccall('dropcalc_add_file', 'string', ['number'], [path.length]);
    if (refused) throw new Error(refused);
    bytes += content.length;
  }
  endFolder(m, name);
  return { files: files.length, bytes };
}

// Gives the folder being loaded its name, in place of any loaded before under
// that name: the files held for that one are no longer read.
function endFolder(m, name) {
  writeInput(m, encoder.encode(name));
  const refused = m.ccall('dropcalc_end_folder', 'string', [], []);
  if (refused) throw new Error(refused);
  for (const [folder, held] of browserFolders) if (held.name === name) browserFolders.delete(folder);
}

function printed(m, stream) {
  const at = m._dropcalc_printed(stream);
  return m.HEAPU8.slice(at, at + m._dropcalc_printed_size(stream));
}

// Each word its length in four bytes, the least significant first, then its
// bytes: a word may hold any byte, a NUL too.
function writeWords(m, words) {
  const parts = words.map((word) => bytesOf(word));
  const all = new Uint8Array(parts.reduce((n, part) => n + 4 + part.length, 0));
  const lengths = new DataView(all.buffer);
  let at = 0;
  for (const part of parts) {
    lengths.setUint32(at, part.length, true);
    all.set(part, at + 4);
    at += 4 + part.length;
  }
  writeInput(m, all);
}

function run(m, argv, separator) {
  writeWords(m, argv);
  const status = m._dropcalc_run(separator.charCodeAt(0));
  return { stdout: printed(m, 0), stderr: printed(m, 1), status };
}

// What the module gave back for the call before.
function given(m) {
  const at = m._dropcalc_given();
  return m.HEAPU8.slice(at, at + m._dropcalc_given_size());
}

const utf8 = new TextDecoder();

// The command's JSON document (its strings UTF-8), with the exit status. A
// command that printed no document (a mistake in its arguments) gives the
// document of an error, with what it printed on stderr as the message.
function search(m, argv, separator) {
  const { stdout, stderr, status } = run(m, ['--format', 'json', ...argv], separator);
  if (stdout.length === 0) {
    const message = utf8.decode(stderr).trimEnd();
    return { heading: null, entries: [], notes: [], error: { message, path: null, line: null, text: null, named_by: null, detail: null, hint: null }, status };
  }
  return { ...JSON.parse(utf8.decode(stdout)), status };
}

function dataBytes(m, folder, text) {
  writeWords(m, [folder, text]);
  m._dropcalc_data_bytes();
  return given(m);
}

function catalogue(m) {
  m._dropcalc_catalogue();
  return JSON.parse(utf8.decode(given(m)));
}

// Answers `data` with `result`, or with {missing} when the call opened a file
// that has not come yet.
function answer(data, result, transfer = []) {
  if (missing !== null) self.postMessage({ id: data.id, missing });
  else self.postMessage({ id: data.id, result }, transfer);
}

self.onmessage = async ({ data }) => {
  try {
    const m = await ready;
    missing = null;
    if (data.op === 'load') {
      self.postMessage({ id: data.id, result: loadFolder(m, data.name, data.files) });
    } else if (data.op === 'loadBrowser') {
      self.postMessage({ id: data.id, result: loadBrowserFolder(m, data.name, data.paths, data.files, data.samePicks, data.keep ?? 0) });
    } else if (data.op === 'files') {
      self.postMessage({ id: data.id, result: moreFiles(data.folder, data.files) });
    } else if (data.op === 'search') {
      answer(data, search(m, data.argv, data.separator));
    } else if (data.op === 'dataBytes') {
      const result = dataBytes(m, data.folder, data.text);
      answer(data, result, [result.buffer]);
    } else if (data.op === 'catalogue') {
      self.postMessage({ id: data.id, result: catalogue(m) });
    } else {
      const result = run(m, data.argv, data.separator);
      answer(data, result, [result.stdout.buffer, result.stderr.buffer]);
    }
  } catch (error) {
    self.postMessage({ id: data.id, error: String(error && error.message ? error.message : error) });
  }
};
