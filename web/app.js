// The page's controls, built on dropcalc.run() and dropcalc.loadFolder() as a
// player's own script would be.
import { run, loadFolder } from './dropcalc.js';
import { inputSource, handleSource, entrySource, sampleSource } from './folders.js';

const $ = (id) => document.getElementById(id);
const DIFFICULTIES = ['normal', 'nightmare', 'hell'];
const WIDE_SEPARATOR = ' '.repeat(10);

const state = {
  source: null, // where the loaded folder came from, to read it again
  folder: null, // its name, which --data names
  utf8: true, // whether the folder's texts read as UTF-8 (else as Windows-1252)
  names: new Map(), // a name as shown -> its bytes in the data
  entries: [], // the list's entries, as shown
  chanceFirst: true, // whether they show the chance first
  lastSearch: null, // the arguments of the search shown, for the separator and reload
  features: { highest: false, oneIn: false },
};

// ---- Texts and bytes ----

const utf8 = new TextDecoder('utf-8', { fatal: true });
const cp1252 = new TextDecoder('windows-1252');
const decode = (bytes) => {
  if (state.utf8) {
    try {
      return utf8.decode(bytes);
    } catch {
      state.utf8 = false;
    }
  }
  return cp1252.decode(bytes);
};
const lines = (bytes) => {
  const text = decode(bytes);
  return text === '' ? [] : text.replace(/\n$/, '').split('\n');
};
// The bytes to pass for a name: those of the data when the name came from
// it, else the text as the data's encoding writes it.
const nameArg = (text) => state.names.get(text) ?? (state.utf8 ? text : Uint8Array.from(text, (c) => c.charCodeAt(0) & 0xff));

// ---- Running the tool ----

function options({ withMf = false, difficulties = null, wide = false } = {}) {
  const args = ['--data', state.folder ?? '.', '--sort', document.querySelector('input[name="sort"]:checked').value];
  if (withMf) args.push('--mf', $('mf').value);
  if (difficulties !== null) args.push('--difficulty', difficulties.join(','));
  if (wide) args.push('--wide');
  if (state.features.oneIn && $('one-in')?.checked) args.push('--one-in');
  return args;
}

// Shows where an error comes from (the line before the message on stderr)
// and what to do about it.
function showDiagnostics(stderrLines, status) {
  const note = stderrLines.filter((line) => line.startsWith('dropcalc-cli: note: ')).map((line) => line.slice(20));
  $('note').textContent = note.join('\n');
  const box = $('error');
  if (status === 0) {
    box.hidden = true;
    return;
  }
  const message = stderrLines.at(-1) ?? 'The search failed.';
  const where = stderrLines.slice(0, -1).reverse().find((line) => line.startsWith('dropcalc-cli: ') && !line.startsWith('dropcalc-cli: note: '));
  let place = '';
  let hint = '';
  const located = where?.slice(14).match(/^(.*?):(\d+): (.*)$/s);
  if (located) {
    place = `in ${located[1]}, line ${located[2]}:\n${located[3]}`;
    hint = 'Correct the file, then press Reload.';
  } else if (where) {
    place = `in ${state.folder}/${where.slice(14)}`;
    hint = state.hasNormal
      ? 'Check that the file is there, then press Reload.'
      : `The data folder ${state.folder} has no "Normal" folder: open the data folder itself.`;
  }
  $('error-message').textContent = message;
  $('error-place').textContent = place;
  $('error-hint').textContent = hint;
  box.hidden = false;
}

async function runShown(args) {
  const result = await run(args);
  showDiagnostics(lines(result.stderr), result.status);
  return result;
}

function showEntries(entries) {
  state.entries = entries;
  $('list').textContent = entries.map((entry) => `${entry}\n`).join('');
  const chanceFirst = document.querySelector('input[name="sort"]:checked').value !== 'name';
  state.chanceFirst = chanceFirst;
  $('head-first').textContent = chanceFirst ? '% Drop Chance' : 'Name';
  $('head-second').textContent = chanceFirst ? 'Name' : '% Drop Chance';
}

async function search(args) {
  state.lastSearch = args;
  const result = await runShown([...options(args.options), ...args.command]);
  showEntries(lines(result.stdout));
  // On a phone the list is below the searches: bring it into view.
  $('list').scrollIntoView({ block: 'nearest' });
  return result;
}

// ---- The search rows ----

function difficultyControls(form) {
  const one = form.dataset.difficulties === 'one';
  const captions = ['Norm.', form.closest('#panel-normal') ? 'Nm.' : 'Nm', 'Hell'];
  const set = document.createElement('fieldset');
  set.className = 'difficulties';
  set.innerHTML = '<legend>Difficulty</legend>';
  DIFFICULTIES.forEach((difficulty, i) => {
    const label = document.createElement('label');
    const box = document.createElement('input');
    box.type = one ? 'radio' : 'checkbox';
    box.name = `${form.dataset.command}-difficulty`;
    box.value = difficulty;
    box.checked = i === 0;
    label.append(box, ` ${captions[i]}`);
    set.append(label);
  });
  form.querySelector('button').before(set);
}

function chosenDifficulties(form) {
  return Array.from(form.querySelectorAll('.difficulties input:checked'), (box) => box.value);
}

function wireSearches() {
  for (const form of document.querySelectorAll('form[data-command]')) {
    difficultyControls(form);
    form.addEventListener('submit', (event) => {
      event.preventDefault();
      const command = form.dataset.command;
      const texts = Array.from(form.querySelectorAll('input:not([type]), select'), (box) => box.value);
      search({
        options: { withMf: command.startsWith('unique') || command.startsWith('set'), difficulties: chosenDifficulties(form) },
        command: [command, ...texts.map(nameArg)],
      });
    });
  }
  $('base-set').addEventListener('change', chooseBaseSet);
}

async function chooseBaseSet() {
  const result = await runShown(['--data', state.folder ?? '.', 'set-items', nameArg($('base-set').value)]);
  const box = $('set-item');
  box.replaceChildren(new Option('[select a set item]', ''));
  for (const name of lines(result.stdout)) {
    state.names.set(name, name);
    box.append(new Option(name, name));
  }
}

// ---- Magic find, sort, separator, copy, CSV ----

function wireOptions() {
  $('mf-form').addEventListener('submit', async (event) => {
    event.preventDefault();
    const result = await runShown(['mf', $('mf').value]);
    const values = lines(result.stdout);
    ['real-unique', 'real-set', 'real-rare'].forEach((id, i) => {
      $(id).textContent = values[i] ?? '0';
    });
  });
  $('sort').addEventListener('change', () => state.lastSearch && search(state.lastSearch));
  $('wide').addEventListener('click', () => {
    if (state.lastSearch) search({ ...state.lastSearch, options: { ...state.lastSearch.options, wide: true } });
  });
  $('copy').addEventListener('click', () => navigator.clipboard.writeText($('list').textContent));
  $('csv').addEventListener('click', downloadCsv);
}

function csvField(field) {
  return /[",\r\n]/.test(field) ? `"${field.replaceAll('"', '""')}"` : field;
}

// The list as CSV, a name and its chance a row, as the window saves it.
function entriesCsv(entries, chanceFirst) {
  let csv = 'Name,% Drop Chance\r\n';
  for (const entry of entries) {
    let at = entry.indexOf('=');
    let width = 1;
    if (at < 0) {
      at = entry.indexOf(WIDE_SEPARATOR);
      width = WIDE_SEPARATOR.length;
    }
    let [first, second] = at < 0 ? [entry, ''] : [entry.slice(0, at), entry.slice(at + width)];
    if (chanceFirst) [first, second] = [second, first];
    csv += `${csvField(first)},${csvField(second)}\r\n`;
  }
  return csv;
}

function downloadCsv() {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([entriesCsv(state.entries, state.chanceFirst)], { type: 'text/csv' }));
  link.download = 'drop-chances.csv';
  link.click();
  setTimeout(() => URL.revokeObjectURL(link.href), 0);
}

// ---- Data folders ----

async function fillNames(list, id) {
  const result = await run(['--data', state.folder, 'list', list]);
  const box = $(id);
  box.replaceChildren();
  for (const raw of splitBytes(result.stdout)) {
    const name = decode(raw);
    state.names.set(name, raw);
    if (name !== '') box.append(new Option(name));
  }
}

// The lines of `bytes` as bytes, so that a name goes back as it came.
function splitBytes(bytes) {
  const out = [];
  let start = 0;
  for (let i = 0; i < bytes.length; i++) {
    if (bytes[i] === 10) {
      out.push(bytes.subarray(start, i));
      start = i + 1;
    }
  }
  return out;
}

async function open(source) {
  const status = $('data-status');
  status.textContent = `Reading ${source.name}…`;
  try {
    const started = performance.now();
    const folder = await source.read();
    const count = folder.files.length;
    state.hasNormal = folder.files.some((file) => file.path.startsWith('Normal/'));
    await loadFolder(folder.name, folder.files, { transfer: true });
    state.source = source;
    state.folder = folder.name;
    state.utf8 = true;
    state.names.clear();
    // Ready to search: the name lists for the boxes follow.
    const names = Promise.all([fillNames('monsters', 'monsters'), fillNames('items', 'items'), fillNames('base-sets', 'base-sets'), fillNames('uniques', 'uniques')]);
    $('reload').disabled = false;
    const ms = Math.round(performance.now() - started);
    status.textContent = `Data: ${folder.name}, ${count} files, read in ${ms} ms.`;
    document.body.dataset.loadMs = ms;
    document.body.dataset.readyAt ||= Math.round(performance.now());
    document.body.dataset.ready = 'true';
    if (state.lastSearch) await search(state.lastSearch);
    await names;
  } catch (error) {
    if (source.pickAgain && source === state.source) {
      status.textContent = `${source.name} has changed since it was opened: open it again.`;
      $('folder-input').value = '';
      $('folder-input').click();
    } else {
      status.textContent = `${source.name} could not be read: ${error.message}`;
    }
  }
}

function wireData() {
  $('open').addEventListener('click', async () => {
    if (!window.showDirectoryPicker) {
      $('folder-input').click();
      return;
    }
    try {
      open(handleSource(await window.showDirectoryPicker()));
    } catch (error) {
      if (error.name !== 'AbortError') $('data-status').textContent = error.message;
    }
  });
  $('folder-input').addEventListener('change', (event) => event.target.files.length && open(inputSource(event.target.files)));
  $('sample').addEventListener('click', () => open(sampleSource()));
  $('reload').addEventListener('click', () => state.source && open(state.source));
  const zone = $('drop-zone');
  document.addEventListener('dragover', (event) => {
    event.preventDefault();
    zone.hidden = false;
  });
  document.addEventListener('dragleave', (event) => {
    if (event.relatedTarget === null) zone.hidden = true;
  });
  document.addEventListener('drop', (event) => {
    event.preventDefault();
    zone.hidden = true;
    const entry = Array.from(event.dataTransfer.items, (item) => item.webkitGetAsEntry?.()).find((e) => e?.isDirectory);
    if (entry) open(entrySource(entry));
    else $('data-status').textContent = 'Drop a folder, not files.';
  });
  document.addEventListener('keydown', (event) => {
    if (event.key === 'F5' && state.source) {
      event.preventDefault();
      open(state.source);
    }
  });
}

// ---- Tabs: arrows move between them, Tab goes into the panel ----

function wireTabs() {
  const tabs = Array.from(document.querySelectorAll('[role="tab"]'));
  const select = (tab) => {
    for (const other of tabs) {
      const on = other === tab;
      other.setAttribute('aria-selected', String(on));
      other.tabIndex = on ? 0 : -1;
      $(other.getAttribute('aria-controls')).hidden = !on;
    }
    tab.focus();
  };
  tabs.forEach((tab, i) => {
    tab.addEventListener('click', () => select(tab));
    tab.addEventListener('keydown', (event) => {
      const step = { ArrowRight: 1, ArrowLeft: -1 }[event.key];
      if (step) select(tabs[(i + step + tabs.length) % tabs.length]);
    });
  });
}

// ---- What the tool offers beyond the window's first release ----

async function detectFeatures() {
  const help = new TextDecoder().decode((await run(['--help'])).stdout);
  state.features.highest = /\bhighest\b/.test(help);
  state.features.oneIn = help.includes('--one-in');
  if (state.features.highest) {
    const label = document.createElement('label');
    label.innerHTML = '<input type="radio" name="sort" value="highest"> Highest first';
    $('sort').append(label);
  }
  if (state.features.oneIn) {
    const label = document.createElement('label');
    label.innerHTML = '<input type="checkbox" id="one-in"> 1 in N';
    $('sort').after(label);
    $('one-in').addEventListener('change', () => state.lastSearch && search(state.lastSearch));
  }
}

wireTabs();
wireSearches();
wireOptions();
wireData();
// Opened as index.html#sample, the page starts on the sample data.
(location.hash === '#sample' ? open(sampleSource()) : Promise.resolve())
  .then(detectFeatures)
  .then(() => {
    document.body.dataset.loaded = 'true';
  });
