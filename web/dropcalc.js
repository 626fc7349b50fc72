// The calculator's API for the page and for the browser console:
//
//   await dropcalc.loadFolder(name, [{path: 'Normal/monsterlist.txt', bytes}, ...])
//   await dropcalc.loadFolder(name, [{path: 'Normal/monsterlist.txt', file}, ...])  // a File, read when needed
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

async function loadBrowserFolder(name, given) {
  const order = given.map((_, i) => i).sort((a, b) => depth(given[a].path) - depth(given[b].path) || a - b);
  const paths = order.map((i) => String(given[i].path));
  const files = order.map((i) => (given[i].file instanceof Blob ? given[i].file : new Blob([given[i].bytes ?? ''])));
  const before = picked.get(name);
  const samePicks = before?.length === files.length && before.every((file, i) => file === files[i]);
  const first = files.slice(0, FILES_AT_ONCE);
  const { folder } = await call({ op: 'loadBrowser', name, paths, files: first, samePicks });
  // The files of a folder loaded before under that name are no longer needed.
  for (const [number, rest] of unsent) if (rest.name === name) unsent.delete(number);
  picked.set(name, files);
  if (files.length > first.length) {
    const rest = files.slice(first.length);
    rest.name = name;
    unsent.set(folder, rest);
    sendRest(folder).catch(() => {});
  }
  // Not their bytes: a picked File's size costs the browser a look at the
  // file on disk.
  return { files: files.length };
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
// copying them: the page does so with what it has just read. A file given as
// {path, file} with a Blob (a File the player picked) is read only when a
// search opens it, and read again at each opening: a folder of any size loads
// at once, and a file edited since is read as it is now where the browser
// allows it (one that refuses gives "File access denied" at the file, and
// loading the same picks again is rejected with "PATH: changed since the
// folder was picked: pick it again."). A file removed since is "File not
// found" at the file.
export function loadFolder(name, files, { transfer = false } = {}) {
  const given = Array.from(files);
  if (given.some((file) => file.file instanceof Blob)) return loadBrowserFolder(String(name), given);
  for (const [number, rest] of unsent) if (rest.name === String(name)) unsent.delete(number);
  const list = given.map((file) => ({ path: String(file.path), bytes: file.bytes }));
  const buffers = transfer
    ? list.map((file) => file.bytes.buffer ?? file.bytes).filter((b) => b instanceof ArrayBuffer)
    : [];
  return call({ op: 'load', name: String(name), files: list }, buffers);
}

globalThis.dropcalc = { run, search, dataBytes, catalogue, loadFolder };
