// The web module as the page's worker runs it, under Node: the site's
// worker.js and module, driven through the worker's messages as dropcalc.js
// drives them, over the hostile rows of hostile.js. Prints a line a row;
// exits 1 when one fails.
//
//   node tests/web/api_test.js SITE
'use strict';
const fs = require('fs');
const path = require('path');

const site = path.resolve(process.argv[2]);
const createModule = require(path.join(site, 'dropcalc-core.js'));
const wasmBinary = fs.readFileSync(path.join(site, 'dropcalc-core.wasm'));

// worker.js in this process, with `self` and importScripts() as a worker has
// them: the module is the one built for the site, read from disk.
const answers = new Map();
const self = {
  postMessage(data) {
    answers.get(data.id)(data);
    answers.delete(data.id);
  },
};
globalThis.createDropcalc = (options) => createModule({ wasmBinary, ...options });

// Picked files as the worker sees them: read from `disk` (a path's bytes; a
// path taken away is a file removed since), each read of the browser noted
// in `reads` as the paths it read.
const disk = new Map();
const reads = [];
class PickedFile {
  constructor(name, start = 0, end = disk.get(name).length) {
    Object.assign(this, { name, start, end });
  }

  get size() {
    return this.end - this.start;
  }

  slice(start, end) {
    return new PickedFile(this.name, this.start + start, Math.min(this.start + end, this.end));
  }
}
class PickedBlob {
  constructor(parts) {
    this.parts = parts;
  }
}
class Reader {
  readAsArrayBuffer(blob) {
    const parts = blob instanceof PickedBlob ? blob.parts : [blob];
    reads.push(parts.map((part) => part.name));
    if (parts.some((part) => !disk.has(part.name))) throw Object.assign(new Error('gone'), { name: 'NotFoundError' });
    return Uint8Array.from(Buffer.concat(parts.map((part) => disk.get(part.name).subarray(part.start, part.end)))).buffer;
  }
}
const worker = new Function('self', 'importScripts', 'Blob', 'FileReaderSync',
  `${fs.readFileSync(path.join(site, 'worker.js'), 'utf8')}\nreturn { keep };`)(self, () => {}, PickedBlob, Reader);

let lastId = 0;
function call(message) {
  const id = ++lastId;
  return new Promise((resolve, reject) => {
    answers.set(id, (data) => ('error' in data ? reject(new Error(data.error)) : resolve(data.result)));
    self.onmessage({ data: { id, ...message } });
  });
}

const api = {
  run: (argv) => call({ op: 'run', argv, separator: '.' }),
  loadFolder: (name, files) => call({ op: 'load', name, files }),
};

// The bytes of a folder read as searches open its files, kept up to a
// budget: {what, got, want} for each row.
async function keptRows(sample) {
  for (const file of sample) disk.set(file.path, file.bytes);
  const paths = sample.map((file) => file.path);
  const files = paths.map((name) => new PickedFile(name));
  const open = (keep) => call({ op: 'loadBrowser', name: 'kept', paths, files, keep });
  const lastLine = (bytes) => new TextDecoder().decode(bytes).trimEnd().split('\n').pop();
  const rat = async () => {
    const r = await api.run(['--data', 'kept', 'monster', 'Tunnel Rat']);
    return `${r.status} ${lastLine(r.stderr.length ? r.stderr : r.stdout)}`;
  };
  const found = '0 70=Nothing';
  const notFound = '1 File not found.';
  const rows = [
    // what, bytes kept, what is done once the search has run and rat.txt is
    // removed, the answer to the search then
    ['kept: answered as before', 2 ** 20, async () => {}, found],
    ['none kept: read again', 0, async () => {}, notFound],
    ['a new load of the folder keeps none', 2 ** 20, () => open(2 ** 20), notFound],
  ];
  const done = [];
  for (const [what, keep, then, want] of rows) {
    await open(keep);
    await rat();
    disk.delete('Normal/rat.txt');
    await then();
    done.push({ what: `files read as opened, ${what}`, got: await rat(), want });
    disk.set('Normal/rat.txt', sample.find((file) => file.path === 'Normal/rat.txt').bytes);
  }
  // The check reads every file once, several of them in one read of the
  // browser; run again, it finds them all kept.
  await open(2 ** 20);
  reads.length = 0;
  await api.run(['--data', 'kept', 'check']);
  const first = reads.splice(0);
  await api.run(['--data', 'kept', 'check']);
  done.push({ what: 'files read as opened: each once, together, then kept',
    got: [first.flat().length, new Set(first.flat()).size, first.some((read) => read.length > 1), reads.length].join(),
    want: [paths.length, paths.length, true, 0].join() });
  // The files used least recently go beyond the budget; one over it is not kept.
  const bytes = (n) => new Uint8Array(n);
  const keepRows = [
    [10, [[1, 4], [2, 4], [3, 4]], '2,3'],
    [10, [[1, 4], [2, 11]], '1'],
    [10, [[1, 10]], '1'],
    [0, [[1, 0], [2, 1]], '1'],
  ];
  for (const [keep, kept, want] of keepRows) {
    const held = { kept: new Map(), keptBytes: 0, keep };
    for (const [number, size] of kept) worker.keep(held, number, bytes(size));
    done.push({ what: `keep ${JSON.stringify(kept)} within ${keep} bytes`, got: Array.from(held.kept.keys()).join(), want });
  }
  return done;
}

(async () => {
  const sample = JSON.parse(fs.readFileSync(path.join(site, 'sample', 'files.json'), 'utf8')).map((file) => ({
    path: file,
    bytes: new Uint8Array(fs.readFileSync(path.join(site, 'sample', file))),
  }));
  const hostileRows = new Function(`${fs.readFileSync(path.join(__dirname, 'hostile.js'), 'utf8')}\nreturn hostileRows;`)();
  let failed = 0;
  for (const row of [...(await hostileRows(api, sample)), ...(await keptRows(sample))]) {
    const ok = row.got === row.want;
    console.log(`${ok ? 'ok  ' : 'FAIL'} ${row.what}`);
    if (!ok) console.log(`     got  ${JSON.stringify(row.got)}\n     want ${JSON.stringify(row.want)}`);
    failed += ok ? 0 : 1;
  }
  process.exit(failed ? 1 : 0);
})().catch((error) => {
  console.error(error);
  process.exit(1);
});
