// Reads a data folder from what the player gives: a folder picked with the
// picker, a folder dropped on the page, or the sample data served with the
// page. Each source can read its folder again after the player edits it.
// A folder read is {name, files: [{path, bytes: ArrayBuffer}]}, its paths
// relative to it with "/" between their parts.

async function readAll(entries) {
  return Promise.all(entries.map(async ({ path, file }) => ({ path, bytes: await (await file()).arrayBuffer() })));
}

// Files picked with <input type="file" webkitdirectory>: each knows its path
// below the folder picked, which comes first.
export function inputSource(fileList) {
  const files = Array.from(fileList);
  const name = files.length ? files[0].webkitRelativePath.split('/')[0] : '';
  const entries = files.map((file) => ({
    path: file.webkitRelativePath.split('/').slice(1).join('/'),
    file: async () => file,
  }));
  // A browser may refuse to read these files again once they have changed:
  // then the player picks the folder again.
  return { name, pickAgain: true, read: async () => ({ name, files: await readAll(entries) }) };
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
  return { name: handle.name, read: async () => ({ name: handle.name, files: await readAll(await list(handle, '', [])) }) };
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
  return { name: root.name, read: async () => ({ name: root.name, files: await readAll(await list(root, '', [])) }) };
}

// The sample data served with the page: sample/files.json lists its files.
export function sampleSource(base = 'sample/') {
  const name = 'sample';
  async function read() {
    const paths = await (await fetch(`${base}files.json`, { cache: 'no-cache' })).json();
    const entries = paths.map((path) => ({
      path,
      file: async () => {
        const response = await fetch(base + path.split('/').map(encodeURIComponent).join('/'), { cache: 'no-cache' });
        if (!response.ok) throw new Error(`${path}: ${response.status} ${response.statusText}`);
        return response;
      },
    }));
    return { name, files: await readAll(entries) };
  }
  return { name, read };
}
