// The calculator's API for the page and for the browser console:
//
//   await dropcalc.loadFolder(name, [{path: 'Normal/monsterlist.txt', bytes}, ...])
//   await dropcalc.loadFolder(name, [{path: 'Normal/monsterlist.txt', file}, ...])  // Files, see below
//   dropcalc.budget  // {bytes, files}: how large a folder of Files is read whole
//   await dropcalc.run(['--data', name, 'item', 'Ring'])  // {stdout, stderr, status}
//   await dropcalc.search(['--data', name, 'item', 'Ring'])
//     // {heading, entries: [{name, chance, value, one_in, kills_90, ...}], notes, error, status}
//   await dropcalc.dataBytes('sample', 'Münzwart')  // Uint8Array
//   await dropcalc.catalogue()  // [{command, caption, summary, inputs, one_difficulty, ...}]
//
// run() takes the arguments of dropcalc-cli and gives what it prints, stdout
// and stderr as bytes (Uint8Array), and its exit status. loadFolder() makes
// the files a data folder that --data names; a folder loaded again under the
// same name replaces it, and the folder loaded last is the one run() reads
// when --data is not given. Paths have "/" between their parts; bytes may be
// a Uint8Array, an ArrayBuffer or a string (written as UTF-8). Both calls
// return promises: the work is done in a worker, so the page stays responsive.
//
// A path names a file as on disk: "." and empty parts are passed over, ".."
// takes away the part before it. One that leaves the folder, holds a NUL or
// names no file rejects the load with "PATH: Invalid filename", and running
// out of memory with "Out of memory."; a folder loaded before under that name
// stays. Arguments, paths and names are UTF-8 as texts are (a lone surrogate
// becomes U+FFFD), and an argument may hold any character, a NUL too.

const worker = new Worker(new URL('worker.js', import.meta.url));
const waiting = new Map();
let lastId = 0;

worker.onmessage = ({ data }) => {
  const waiter = waiting.get(data.id);
  const { resolve, reject, message } = waiter;
  waiter.completed ??= new Set(); // the folders whose files all went before the call
  if ('missing' in data && !waiter.completed.has(data.missing)) {
    // The call opened a file of a folder that the worker did not hold yet:
    // it gets the rest of the folder's files (unless they are on their way
    // already), then the call again, which comes after them.
    if (unsent.has(data.missing)) sendFiles(data.missing, Infinity);
    waiter.completed.add(data.missing);
    worker.postMessage({ id: data.id, ...message });
    return;
  }
  waiting.delete(data.id);
  if ('missing' in data) reject(new Error('the calculator lost the files of a folder'));
  else if ('error' in data) reject(new Error(data.error));
  else resolve(data.result);
};

// A worker that fails (its module could not be loaded, or it ran out of
// memory) fails every call waiting on it.
worker.onerror = (event) => {
  for (const { reject } of waiting.values()) reject(new Error(event.message || 'the calculator stopped'));
  waiting.clear();
};

function call(message, transfer = []) {
  const id = ++lastId;
  return new Promise((resolve, reject) => {
    waiting.set(id, { resolve, reject, message });
    worker.postMessage({ id, ...message }, transfer);
  });
}

// The files of folders read as searches open them that the worker does not
// hold yet, by the worker's number for the folder. Handing a File to the
// worker costs the browser much more than its path: they follow the folder a
// few at a time, calls going between, and all at once when a call needs one
// of them.
const unsent = new Map();
const FILES_AT_ONCE = 250;
// The files last loaded under each name, to tell the same picks again.
const picked = new Map();

function sendFiles(folder, count) {
  const rest = unsent.get(folder);
  const files = rest.splice(0, count);
  if (rest.length === 0) unsent.delete(folder);
  return call({ op: 'files', folder, files });
}

async function sendRest(folder) {
  while (unsent.has(folder)) await sendFiles(folder, FILES_AT_ONCE);
}

// How many folders down a path is: the lists a data folder holds at its top
// and in its difficulty folders go first, as the page reads them at once.
const depth = (path) => path.split('/').length;

// What a folder of picked files may take to be read whole when it is opened:
// its files' bytes, and how many files. Reading a picked file costs the
// browser 0.2 to 0.4 ms however small it is, so a folder of 20,000 files
// takes 4 to 8 s to read whole; one with more files, or more bytes, is read
// as searches open its files instead, its files' bytes kept up to `bytes`
// between searches. Scripts and tests may lower either.
export const budget = { bytes: 96 * 2 ** 20, files: 20000 };
// Reads in flight at once while a folder is read whole: enough to keep the
// browser busy, few enough for a folder of any size.
const READS_AT_ONCE = 64;

// The bytes of `files` (Uint8Arrays), read READS_AT_ONCE at a time, or null
// when they are beyond the budget or one could not be read: the folder is
// then read as searches open its files, which tells what went wrong at that
// file. Each file is read as a stream, so that the reading stops as soon as
// the bytes pass the budget, a file of any size too. A browser that refuses
// to read a file of the same picks (changed since) rejects with the file's
// path, so that the player picks the folder again.
const refused = (file) => file.arrayBuffer().then(() => false, (error) => error.name === 'NotReadableError');

async function readWhole(paths, files, samePicks) {
  if (files.length > budget.files) return null;
  const bytes = new Array(files.length);
  let next = 0;
  let total = 0;
  let stop = false;
  let changed = null;
  async function read(file) {
    const reader = file.stream().getReader();
    const parts = [];
    for (let part = await reader.read(); !part.done; part = await reader.read()) {
      total += part.value.length;
      if (stop || total > budget.bytes) {
        stop = true;
        await reader.cancel();
        return null;
      }
      parts.push(part.value);
    }
    const whole = new Uint8Array(parts.reduce((n, part) => n + part.length, 0));
    parts.reduce((at, part) => (whole.set(part, at), at + part.length), 0);
    return whole;
  }
  async function reads() {
    while (!stop && next < files.length) {
      const i = next++;
      try {
        bytes[i] = await read(files[i]);
      } catch {
        stop = true;
        // A stream tells no more than that it failed: reading the file whole
        // tells a file the browser refuses (NotReadableError) from one gone.
        if (samePicks && (await refused(files[i]))) changed ??= paths[i];
      }
    }
  }
  await Promise.all(Array.from({ length: READS_AT_ONCE }, reads));
  if (changed !== null) throw new Error(`${changed}: changed since the folder was picked: pick it again.`);
  return stop ? null : bytes;
}

// Forgets the files of a folder loaded before under `name` that the worker
// does not hold yet: they are no longer needed.
function forgetUnsent(name) {
  for (const [number, rest] of unsent) if (rest.name === name) unsent.delete(number);
}

// A folder given as Blobs (the player's picked Files mostly): read whole into
// the module's memory when it is within the budget, else only its paths go to
// the module and the worker reads each file when a search opens it.
async function loadPicked(name, given) {
  const order = given.map((_, i) => i).sort((a, b) => depth(given[a].path) - depth(given[b].path) || a - b);
  const paths = order.map((i) => String(given[i].path));
  const files = order.map((i) => (given[i].file instanceof Blob ? given[i].file : new Blob([given[i].bytes ?? ''])));
  const before = picked.get(name);
  const samePicks = before?.length === files.length && before.every((file, i) => file === files[i]);
  const bytes = await readWhole(paths, files, samePicks);
  if (bytes) {
    const result = await call({ op: 'load', name, files: paths.map((path, i) => ({ path, bytes: bytes[i] })) },
      bytes.map((file) => file.buffer));
    forgetUnsent(name);
    picked.set(name, files);
    return { ...result, inMemory: true };
  }
  const first = files.slice(0, FILES_AT_ONCE);
  const { folder } = await call({ op: 'loadBrowser', name, paths, files: first, samePicks, keep: budget.bytes });
  forgetUnsent(name);
  picked.set(name, files);
  if (files.length > first.length) {
    const rest = files.slice(first.length);
    rest.name = name;
    unsent.set(folder, rest);
    sendRest(folder).catch(() => {});
  }
  // Not their bytes: a picked File's size costs the browser a look at the
  // file on disk.
  return { files: files.length, inMemory: false };
}

// The decimal separator of the browser's language, as the tool takes the
// locale's.
export const localeSeparator =
  new Intl.NumberFormat().formatToParts(1.5).find((part) => part.type === 'decimal')?.value ?? '.';

export function run(argv) {
  if (!Array.isArray(argv)) return Promise.reject(new TypeError('run(argv): argv is an array'));
  return call({ op: 'run', argv: argv.map((arg) => (arg instanceof Uint8Array ? arg : String(arg))), separator: localeSeparator });
}

// The same command's answer: the tool's JSON document (--format json) as an
// object, with the exit status beside its members. Texts from the data are
// shown there by the one rule of every face. Any command that writes JSON
// (list, set-items, mf) answers so too.
export function search(argv) {
  if (!Array.isArray(argv)) return Promise.reject(new TypeError('search(argv): argv is an array'));
  return call({ op: 'search', argv: argv.map((arg) => (arg instanceof Uint8Array ? arg : String(arg))), separator: localeSeparator });
}

// A text as typed (a string) as the bytes the loaded data folder `folder`
// holds it in: a name its lists offer as its own bytes, any other text in the
// folder's encoding.
export function dataBytes(folder, text) {
  return call({ op: 'dataBytes', folder: folder instanceof Uint8Array ? folder : String(folder), text: String(text) });
}

// Every search the calculator offers: its command, caption, summary, inputs
// ({argument, label, list}: the list names the `list` whose names it takes,
// or "set-items" for the set items of the base set before it), whether it
// takes exactly one difficulty and whether it reads magic find.
export function catalogue() {
  return call({ op: 'catalogue' });
}

// `transfer` hands the files' ArrayBuffers over to the worker instead of
// copying them: the page does so with what it has just read. Files given as
// {path, file} with Blobs (Files the player picked) are read whole at once
// when they are within `budget`, else each is read when a search opens it:
// a folder of any size loads at once, the bytes of the files read are kept
// up to budget.bytes, and a file edited since it was last read is read as it
// is now where the browser allows it (one that refuses gives "File access
// denied" at the file). Loading the same picks again, when the browser
// refuses one read before, is rejected with "PATH: changed since the folder
// was picked: pick it again.". A file removed since is "File not found" at
// the file. Resolves to {files, inMemory} (and bytes, when in memory).
export function loadFolder(name, files, { transfer = false } = {}) {
  const given = Array.from(files);
  if (given.some((file) => file.file instanceof Blob)) return loadPicked(String(name), given);
  forgetUnsent(String(name));
  const list = given.map((file) => ({ path: String(file.path), bytes: file.bytes }));
  const buffers = transfer
    ? list.map((file) => file.bytes.buffer ?? file.bytes).filter((b) => b instanceof ArrayBuffer)
    : [];
  return call({ op: 'load', name: String(name), files: list }, buffers);
}

globalThis.dropcalc = { run, search, dataBytes, catalogue, loadFolder, budget };
