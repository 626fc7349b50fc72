// The hostile rows of the web module's way in: arguments and paths as a
// careless script hands them to dropcalc.run() and dropcalc.loadFolder().
// Run under Node by api_test.js and in Chromium by page_test.py:
// hostileRows(api, sample) runs every row through `api` ({run, loadFolder})
// and gives {what, got, want} for each; `sample` is the sample folder's files,
// [{path, bytes: Uint8Array}]. With `asFiles`, every folder is loaded as
// files read when a search opens them (Blobs), and the rows of memory
// running out while loading, which such a load never holds, are left out.
/* exported hostileRows */
async function hostileRows(api, sample, { asFiles = false } = {}) {
  const lastLine = (bytes) => new TextDecoder().decode(bytes).trimEnd().split('\n').pop();
  // A run: its status and the last line it printed, on standard error when
  // it printed there.
  const ran = async (argv) => {
    const r = await api.run(argv);
    return `${r.status} ${lastLine(r.stderr.length ? r.stderr : r.stdout)}`;
  };
  // A load: "loaded", or the message it was refused with.
  const load = asFiles
    ? (name, files) => api.loadFolder(name, files.map((file) => ({ path: file.path, file: new Blob([file.bytes]) })))
    : (name, files, options) => api.loadFolder(name, files, options);
  const loaded = (name, files, options) => load(name, files, options).then(() => 'loaded', (error) => error.message);
  // The sample with rat.txt at `path`, and `monsters` (a text) as the Normal
  // monster list when given.
  const sampleWith = (path, monsters) =>
    sample.map((file) =>
      file.path === 'Normal/rat.txt'
        ? { path, bytes: file.bytes }
        : file.path === 'Normal/monsterlist.txt' && monsters
          ? { path: file.path, bytes: monsters }
          : file);
  const monsterList = new TextDecoder().decode(sample.find((f) => f.path === 'Normal/monsterlist.txt').bytes);
  // Tunnel Rat searched in a folder loaded with rat.txt at `path`.
  let folders = 0;
  const ratAt = async (path, monsters, name = 'Tunnel Rat') => {
    const folder = `hostile-${++folders}`;
    return `${await loaded(folder, sampleWith(path, monsters))} | ${await ran(['--data', folder, 'monster', name])}`;
  };
  const rat = '0 70=Nothing'; // the last line of Tunnel Rat's drops
  const refused = (path) => `${path.replace('\0', '\\x00')}: Invalid filename | 1 Invalid filename.`;

  await load('sample', sample);
  const rows = [
    ['a NUL in an argument stays in it', () => ran(['--data', 'sample', 'monster', 'Tunnel Rat\0--version']),
      '0 dropcalc-cli: note: no monster named "Tunnel Rat\0--version" in Normal/monsterlist.txt'],
    ['a NUL in an argument: no extra argument', () => ran(['--data', 'sample', 'monster', 'Tunnel Rat\0extra']),
      '0 dropcalc-cli: note: no monster named "Tunnel Rat\0extra" in Normal/monsterlist.txt'],
    ['a name holding a NUL is found',
      () => ratAt('Normal/rat.txt', monsterList.replace('Tunnel Rat:', 'Tunnel\0Rat:'), 'Tunnel\0Rat'), `loaded | ${rat}`],
    ['a path holding a NUL is refused',
      async () => {
        const files = [...sample, { path: 'Normal/rat.txt\0junk', bytes: 'Gold:0.9\n' }];
        return `${await loaded('nul', files)} | ${await ran(['--data', 'nul', 'monster', 'Tunnel Rat'])}`;
      }, refused('Normal/rat.txt\0junk')],
  ];
  for (const path of ['./Normal/rat.txt', 'Normal/./rat.txt', 'Normal//rat.txt', 'Normal/act2/../rat.txt'])
    rows.push([`${path} is Normal/rat.txt`, () => ratAt(path), `loaded | ${rat}`]);
  for (const path of ['/Normal/rat.txt', '../x', 'a/./../../b', './../Normal/rat.txt', 'Normal/', 'Normal/rat.txt/.'])
    rows.push([`${path} is refused`, () => ratAt(path), refused(path)]);
  rows.push(['a lone surrogate in a path is U+FFFD, as in the contents',
    () => ratAt('Normal/r\ud800.txt', monsterList.replace('rat.txt', 'r\ud800.txt')), `loaded | ${rat}`]);
  if (!asFiles) rows.push(
    ['out of memory while loading, then a search',
      async () => {
        // Together more than the module's 2 GB; each small enough for a
        // browser to pass to the worker.
        const huge = [1, 2].map((n) => ({ path: `Normal/huge${n}.txt`, bytes: new Uint8Array(1100 * 1000 * 1000) }));
        return `${await loaded('huge', huge, { transfer: true })} | ${await ran(['--data', 'sample', 'monster', 'Tunnel Rat'])}`;
      }, `Out of memory. | ${rat}`],
    ['a folder loads after running out of memory', () => ratAt('Normal/rat.txt'), `loaded | ${rat}`],
  );
  const done = [];
  for (const [what, got, want] of rows) done.push({ what, got: await got(), want });
  return done;
}
