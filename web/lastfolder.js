// The last folder opened with the folder picker, kept for the next visit.
// A browser keeps a folder handle in IndexedDB (never in localStorage), and
// asks the player again before the page may read it: reopening starts from
// a click, which is what the browser's question needs.

const DB = 'dropcalc';
const STORE = 'folders';
const KEY = 'last';

function withStore(mode, use) {
  return new Promise((resolve, reject) => {
    const request = indexedDB.open(DB, 1);
    request.onupgradeneeded = () => request.result.createObjectStore(STORE);
    request.onerror = () => reject(request.error);
    request.onsuccess = () => {
      const db = request.result;
      const step = use(db.transaction(STORE, mode).objectStore(STORE));
      step.onsuccess = () => resolve(step.result);
      step.onerror = () => reject(step.error);
      step.transaction.oncomplete = () => db.close();
    };
  });
}

// Keeps `handle` as the folder to offer next time. A browser without
// IndexedDB, or one that cannot keep handles, offers nothing.
export async function rememberFolder(handle) {
  try {
    await withStore('readwrite', (store) => store.put(handle, KEY));
  } catch {
    // Nothing kept: the next visit opens a folder as a first one does.
  }
}

// The folder handle kept last time, or null.
export async function lastFolder() {
  try {
    const handle = await withStore('readonly', (store) => store.get(KEY));
    return handle?.kind === 'directory' ? handle : null;
  } catch {
    return null;
  }
}

// Asks the browser for leave to read `handle` again; true when given.
export async function mayRead(handle) {
  const mode = { mode: 'read' };
  if ((await handle.queryPermission?.(mode)) === 'granted') return true;
  return (await handle.requestPermission?.(mode)) === 'granted';
}
