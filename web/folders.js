// Reads a data folder from what the player gives: a folder picked with the
// picker, a folder dropped on the page, or the sample data served with the
// page. Each source can read its folder again after the player edits it.
// A folder read is {name, files: [{path, file}]}: its paths relative to it
// with "/" between their parts, each file a File that is read only when a
// search opens it. The sample's files are {path, bytes: ArrayBuffer}, read
// whole: they are few and small, and served rather than picked.

// Files picked with <input type="file" webkitdirectory>: each knows its path
// below the folder picked, which comes first.
export function inputSource(fileList) {
  const files = Array.from(fileList);
  const name = files.length ? files[0].webkitRelativePath.split('/')[0] : '';
  const entries = files.map((file) => {
    const path = file.webkitRelativePath;
    return { path: path.slice(path.indexOf('/') + 1), file };
  });
  // A browser may refuse to read these files again once they have changed:
  // then the player picks the folder again.
  return { name, pickAgain: true, read: async () => ({ name, files: entries }) };
}

// The Files of listed entries, each {path, file: () => promise of a File}.
function filesOf(entries) {
  return Promise.all(entries.map(async ({ path, file }) => ({ path, file: await file() })));
}

// A folder handle of the File System Access API, listed anew at each read.
export function handleSource(handle) {
  async function list(folder, prefix, out) {
    for await (const [name, entry] of folder.entries()) {
      if (entry.kind === 'directory') await list(entry, `${prefix}${name}/`, out);
      else out.push({ path: prefix + name, file: () => entry.getFile() });
    }
    return out;
  }
  return { name: handle.name, read: async () => ({ name: handle.name, files: await filesOf(await list(handle, '', [])) }) };
}

// A folder dropped on the page (a FileSystemDirectoryEntry), listed anew at
// each read.
export function entrySource(root) {
  const readBatch = (reader) => new Promise((resolve, reject) => reader.readEntries(resolve, reject));
  async function list(folder, prefix, out) {
    const reader = folder.createReader();
    for (let batch = await readBatch(reader); batch.length; batch = await readBatch(reader)) {
      for (const entry of batch) {
        if (entry.isDirectory) await list(entry, `${prefix}${entry.name}/`, out);
        else out.push({ path: prefix + entry.name, file: () => new Promise((resolve, reject) => entry.file(resolve, reject)) });
      }
    }
    return out;
  }
  return { name: root.name, read: async () => ({ name: root.name, files: await filesOf(await list(root, '', [])) }) };
}

// The sample data served with the page: sample/files.json lists its files.
export function sampleSource(base = 'sample/') {
  const name = 'sample';
  async function read() {
    const paths = await (await fetch(`${base}files.json`, { cache: 'no-cache' })).json();
    const files = await Promise.all(paths.map(async (path) => {
      const response = await fetch(base + path.split('/').map(encodeURIComponent).join('/'), { cache: 'no-cache' });
      if (!response.ok) throw new Error(`${path}: ${response.status} ${response.statusText}`);
      return { path, bytes: await response.arrayBuffer() };
    }));
    return { name, files };
  }
  return { name, read };
}
