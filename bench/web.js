// The web edition's module in Node against the native tool, by turns in the
// same run: every search over all difficulties (the monster searches at
// hell) on generated data, and with a second folder the monster search over
// its long drop table.
//
//   node bench/web.js MODULE.js NATIVE-CLI DATA-DIR [LONG-TABLE-DIR] [ROUNDS]
//
// The module's time is that of dropcalc_run on the folder loaded into its
// memory; the native tool's is the wall time of the process, reading the
// folder from the (cached) disk. Prints the medians and their ratio; exits
// with 1 when the module takes more than twice as long on one.
'use strict';
const fs = require('fs');
const path = require('path');
const { spawnSync } = require('child_process');

const [modulePath, cli, dataDir, longDir, rounds = '7'] = process.argv.slice(2);
const all = ['--difficulty', 'normal,nightmare,hell'];
const hell = ['--difficulty', 'hell'];
// [what, folder, arguments]: the searches of the native bench.
const searches = [
  ['item, all difficulties', dataDir, [...all, 'item', 'Ring']],
  ['unique item, all difficulties', dataDir, [...all, '--mf', '100', 'unique-item', 'Unique 0']],
  ['set item, all difficulties', dataDir, [...all, '--mf', '100', 'set-item', 'Set 1', 'Set 1 Ring']],
  ['monster', dataDir, [...hell, 'monster', 'Monster 60']],
  ['unique monster', dataDir, [...hell, '--mf', '100', 'unique-monster', 'Monster 60']],
  ['set monster', dataDir, [...hell, '--mf', '100', 'set-monster', 'Monster 60']],
  ['check', dataDir, ['check']],
];
if (longDir) searches.push(['monster over the long drop table', longDir, ['monster', 'Cave Lurker']]);

function walk(dir, prefix = '') {
  return fs.readdirSync(dir, { withFileTypes: true }).flatMap((entry) => {
    const rel = prefix + entry.name;
    return entry.isDirectory() ? walk(path.join(dir, entry.name), `${rel}/`) : [rel];
  });
}

const median = (times) => times.sort((a, b) => a - b)[Math.floor(times.length / 2)];

(async () => {
  const createDropcalc = require(path.resolve(modulePath));
  const m = await createDropcalc({ wasmBinary: fs.readFileSync(path.resolve(modulePath).replace(/\.js$/, '.wasm')) });
  // As the page's worker writes them: a file's bytes then its path's, a
  // folder's name, each word of a command after its length.
  const write = (...parts) => {
    let at = m._dropcalc_input(parts.reduce((n, part) => n + part.length, 0)); // before HEAPU8: the memory may grow
    for (const part of parts) {
      m.HEAPU8.set(part, at);
      at += part.length;
    }
  };
  const words = (list) => Buffer.concat(list.flatMap((a) => {
    const word = Buffer.from(a);
    const size = Buffer.alloc(4);
    size.writeUInt32LE(word.length);
    return [size, word];
  }));
  for (const dir of new Set(searches.map((search) => search[1]))) {
    const started = performance.now();
    const files = walk(dir);
    m._dropcalc_begin_folder();
    for (const file of files) {
      const name = Buffer.from(file);
      write(fs.readFileSync(path.join(dir, file)), name);
      m.ccall('dropcalc_add_file', 'string', ['number'], [name.length]);
    }
    write(Buffer.from(dir));
    m.ccall('dropcalc_end_folder', 'string', [], []);
    console.log(`loaded ${files.length} files of ${dir} into the module in ${(performance.now() - started).toFixed(0)} ms`);
  }

  let slow = 0;
  for (const [what, dir, args] of searches) {
    const argBytes = words(['--data', dir, ...args]);
    const wasm = [];
    const native = [];
    let first = 0;
    for (let i = 0; i < Number(rounds); i++) {
      let t = performance.now();
      const result = spawnSync(cli, ['--data', dir, ...args], { env: { ...process.env, LC_ALL: 'C' }, maxBuffer: 1 << 30 });
      native.push(performance.now() - t);
      t = performance.now();
      write(argBytes);
      const status = m._dropcalc_run(46);
      wasm.push(performance.now() - t);
      if (i === 0) first = wasm[0];
      const out = m.HEAPU8.subarray(m._dropcalc_printed(0), m._dropcalc_printed(0) + m._dropcalc_printed_size(0));
      if (status !== result.status || Buffer.compare(Buffer.from(out), result.stdout) !== 0) {
        console.error(`${what}: the module and the native tool disagree`);
        process.exit(1);
      }
    }
    const ratio = median(wasm) / median(native);
    slow += ratio > 2 ? 1 : 0;
    console.log(`${what}: module ${median(wasm).toFixed(1)} ms (first run ${first.toFixed(1)} ms), ` +
                `native tool ${median(native).toFixed(1)} ms, ${ratio.toFixed(2)} x (median of ${rounds})${ratio > 2 ? ', OVER' : ''}`);
  }
  process.exit(slow ? 1 : 0);
})();
