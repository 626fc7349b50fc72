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
new Function('self', 'importScripts', fs.readFileSync(path.join(site, 'worker.js'), 'utf8'))(self, () => {});

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

(async () => {
  const sample = JSON.parse(fs.readFileSync(path.join(site, 'sample', 'files.json'), 'utf8')).map((file) => ({
    path: file,
    bytes: new Uint8Array(fs.readFileSync(path.join(site, 'sample', file))),
  }));
  const hostileRows = new Function(`${fs.readFileSync(path.join(__dirname, 'hostile.js'), 'utf8')}\nreturn hostileRows;`)();
  let failed = 0;
  for (const row of await hostileRows(api, sample)) {
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
