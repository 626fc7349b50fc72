// The page's controls, built on the calculator's API (dropcalc.js) as a
// player's own script would be: the searches come from its catalogue, and
// every answer is its JSON document, shown as the window shows an answer.
import { run, search, dataBytes, catalogue, loadFolder } from './dropcalc.js';
import { inputSource, handleSource, entrySource, sampleSource } from './folders.js';
import { rememberFolder, lastFolder, mayRead } from './lastfolder.js';

const $ = (id) => document.getElementById(id);
const DIFFICULTIES = ['normal', 'nightmare', 'hell'];
const WIDE_SEPARATOR = ' '.repeat(10);
// What an empty name box says, by the list it offers.
const PROMPTS = {
  monsters: '[select a monster]',
  items: '[select an item]',
  'base-sets': '[select a base set]',
  uniques: '[select a unique item]',
  'set-items': '[select a set item]',
};

const state = {
  source: null, // where the loaded folder came from, to read it again
  folder: null, // its name, which --data names
  whole: true, // whether it is held in memory, not read as searches need it
  searches: new Map(), // command -> the catalogue's search
  lastSearch: null, // {kind, texts, difficulties, magicFind} of the answer shown, for Reload
  shown: null, // the arguments of the answer shown, for its CSV
  wide: false, // whether the list shows ten blanks in place of "="
  members: [], // every set item with its base set: {name, base_set}
};

// ---- Answers ----

// A search finished: the page counts it, and a screen reader hears `said`.
function answered(said) {
  $('announce').textContent = said;
  document.body.dataset.answers = String(Number(document.body.dataset.answers ?? 0) + 1);
}

// What a screen reader hears of an answer: its heading (which counts the
// entries) and its notes, each a sentence; the error box speaks for itself.
function spoken(answer) {
  const count = answer.entries.length === 1 ? '1 entry' : `${answer.entries.length} entries`;
  const parts = [answer.heading || count, ...answer.notes, answer.error?.stopped];
  return parts
    .filter(Boolean)
    .map((part) => part.replace(/[.:]?$/, '.'))
    .join(' ');
}

// Shows an error description (the JSON's "error"), or hides the box for none.
function showError(error) {
  const box = $('error');
  box.hidden = !error;
  if (!error) return;
  const show = (id, text) => {
    $(id).textContent = text ?? '';
    $(id).hidden = text === null || text === undefined || text === '';
  };
  $('error-message').textContent = error.message;
  const located = error.line !== null && error.line > 0;
  $('error-place').hidden = error.path === null || error.path === '';
  $('error-folder').textContent = located || state.folder === null ? '' : `${state.folder}/`;
  $('error-path').textContent = error.path ?? '';
  $('error-at').hidden = !located;
  $('error-line').textContent = located ? String(error.line) : '';
  show('error-text', located ? error.text : null);
  $('error-named-by').hidden = !error.named_by;
  $('error-named-path').textContent = error.named_by?.path ?? '';
  $('error-named-line').textContent = error.named_by ? String(error.named_by.line) : '';
  show('error-detail', error.detail);
  show('error-hint', error.hint);
}

// The notes; names a note offers end it as links, each putting its name in
// the box it is for and searching again, as the window's do.
function showNotes(notes, suggestions = null, command = null) {
  const items = notes.map((note) => Object.assign(document.createElement('li'), { textContent: note }));
  const names = suggestions?.names ?? [];
  const form = document.querySelector(`form[data-command="${command}"]`);
  if (names.length && form && items.length) {
    const last = items.at(-1);
    const quoted = names.map((name) => `"${name}"`);
    const asked = `did you mean ${quoted.length > 1 ? `${quoted.slice(0, -1).join(', ')} or ${quoted.at(-1)}` : quoted[0]}?`;
    if (last.textContent.endsWith(asked)) last.textContent = last.textContent.slice(0, -asked.length).trimEnd();
    const links = document.createElement('li');
    links.className = 'suggestions';
    links.append('Did you mean ');
    names.forEach((name, i) => {
      if (i > 0) links.append(i + 1 === names.length ? ' or ' : ', ');
      const link = Object.assign(document.createElement('button'), { type: 'button', className: 'link', textContent: name });
      link.addEventListener('click', () => searchSuggestion(form, suggestions.input, name));
      links.append(link);
    });
    links.append('?');
    items.push(links);
  }
  $('notes').replaceChildren(...items);
}

// A suggestion goes into its box; a base set is chosen as a player would
// choose it, keeping the set item asked for.
async function searchSuggestion(form, input, name) {
  const boxes = form.querySelectorAll('input:not([type])');
  const box = boxes[input];
  if (!box) return;
  box.value = name;
  const next = boxes[input + 1];
  if (next?.dataset.list === 'set-items') {
    const kept = next.value;
    await chooseBaseSet(box, next);
    next.value = kept;
  }
  form.requestSubmit();
}

// What the window says of an entry's odds, beside it and over it.
function oddsText(entry) {
  if (entry.value > 100) return 'over 100 %';
  return entry.one_in === null ? '' : `1 in ${entry.one_in}`;
}

function oddsTip(entry) {
  const lines = [];
  if (entry.kills_90 !== null) lines.push(entry.kills_90 === 1 ? '90 % sure to drop in 1 kill' : `90 % sure to drop in ${entry.kills_90} kills`);
  if (entry.value > 100) lines.push('Over 100 %: the sum of the chances of its lines (those after a "-" line add to those before), not a probability.');
  return lines.join('\n');
}

function cell(className, text) {
  return Object.assign(document.createElement('span'), { className, textContent: text });
}

// The list of entries: each its two parts in the order of the sort mode it
// was searched with, joined by "=" (or ten blanks), and its "1 in N".
function showEntries(entries, nameFirst) {
  $('head-first').textContent = nameFirst ? 'Name' : '% Drop Chance';
  $('head-second').textContent = nameFirst ? '% Drop Chance' : 'Name';
  const rows = entries.map((entry) => {
    const row = document.createElement('li');
    const [first, second] = nameFirst ? [entry.name, entry.chance] : [entry.chance, entry.name];
    row.className = nameFirst ? 'entry name-first' : 'entry';
    row.append(cell('first', first), cell('sep', state.wide ? WIDE_SEPARATOR : '='), cell('second', second), cell('odds', oddsText(entry)));
    row.title = oddsTip(entry);
    return row;
  });
  $('list').replaceChildren(...rows);
}

function showAnswer(answer, nameFirst, command) {
  $('heading').textContent = answer.heading ?? '';
  showNotes(answer.error ? [...answer.notes, answer.error.stopped] : answer.notes, answer.suggestions, command);
  showEntries(answer.entries, nameFirst);
  showError(answer.error);
}

// ---- Searches ----

const sortMode = () => document.querySelector('input[name="sort"]:checked').value;

// The data's bytes for a text as typed or chosen.
const bytesOf = (text) => dataBytes(state.folder, text);

async function runSearch(request) {
  if (state.folder === null) {
    showError({ message: 'No data folder is open.', path: null, hint: 'Open a data folder, drop one on this page, or take the sample data.' });
    answered('No data folder is open.');
    return;
  }
  const { kind, texts, difficulties, magicFind } = request;
  state.lastSearch = request;
  state.wide = false;
  const sort = sortMode();
  const args = ['--data', state.folder, '--sort', sort, '--difficulty', difficulties.join(',')];
  if (kind.reads_magic_find) args.push('--mf', magicFind);
  args.push('--', kind.command, ...(await Promise.all(texts.map(bytesOf))));
  const answer = await search(args);
  state.shown = { args, name: texts.at(-1) ?? '' };
  showAnswer(answer, sort === 'name', kind.command);
  // On a phone the list is below the searches: bring it into view.
  $('list').scrollIntoView({ block: 'nearest' });
  answered(spoken(answer));
}

// A search whose answer cannot be had (the calculator stopped) says so.
function searchOrSay(request) {
  return runSearch(request).catch((error) => {
    showError({ message: `The search failed: ${error.message}`, path: null, hint: 'Reload the page.' });
    answered(`The search failed: ${error.message}`);
  });
}

// The window's captions: "Nm." on its first page, "Nm" on the others.
function difficultyControls(kind, firstPage) {
  const captions = ['Norm.', firstPage ? 'Nm.' : 'Nm', 'Hell'];
  const set = document.createElement('fieldset');
  set.className = 'difficulties';
  set.innerHTML = '<legend>Difficulty</legend>';
  DIFFICULTIES.forEach((difficulty, i) => {
    const label = document.createElement('label');
    const box = document.createElement('input');
    box.type = kind.one_difficulty ? 'radio' : 'checkbox';
    box.name = `${kind.command}-difficulty`;
    box.value = difficulty;
    box.checked = i === 0;
    label.append(box, ` ${captions[i]}`);
    set.append(label);
  });
  return set;
}

// A search's row: a name box for each of its inputs, its difficulties and
// the Search button.
function searchForm(kind, firstPage) {
  const form = document.createElement('form');
  form.className = 'row';
  form.dataset.command = kind.command;
  kind.inputs.forEach((input, i) => {
    const id = `${kind.command}-${i}`;
    const label = Object.assign(document.createElement('label'), { htmlFor: id, textContent: input.label });
    const box = Object.assign(document.createElement('input'), { id, placeholder: PROMPTS[input.list] ?? '', autocomplete: 'off' });
    box.setAttribute('list', input.list);
    box.dataset.list = input.list;
    form.append(label, box);
  });
  form.append(difficultyControls(kind, firstPage), Object.assign(document.createElement('button'), { textContent: 'Search', title: kind.summary }));
  form.addEventListener('submit', (event) => {
    event.preventDefault();
    searchOrSay({
      kind,
      texts: Array.from(form.querySelectorAll('input:not([type])'), (box) => box.value),
      difficulties: Array.from(form.querySelectorAll('.difficulties input:checked'), (box) => box.value),
      magicFind: $('mf').value,
    });
  });
  // Choosing a base set offers its set items in the box after it; Enter
  // there chooses the set typed, if it is one, as in the window.
  const boxes = form.querySelectorAll('input:not([type])');
  kind.inputs.forEach((input, i) => {
    if (input.list !== 'set-items' || i === 0) return;
    const [baseSet, setItem] = [boxes[i - 1], boxes[i]];
    baseSet.addEventListener('change', () => baseSet.value !== baseSet.dataset.chosen && chooseBaseSet(baseSet, setItem));
    baseSet.addEventListener('keydown', (event) => {
      if (event.key !== 'Enter') return;
      event.preventDefault();
      if (Array.from(baseSet.list.options, (option) => option.value).includes(baseSet.value)) chooseBaseSet(baseSet, setItem);
    });
    // A set item of another base set, picked or typed whole, chooses its set.
    setItem.addEventListener('input', async () => {
      const named = state.members.filter((member) => member.name === setItem.value);
      if (!named.length || named.some((member) => member.base_set === baseSet.value)) return;
      const kept = setItem.value;
      baseSet.value = named[0].base_set;
      await chooseBaseSet(baseSet, setItem);
      setItem.value = kept;
    });
  });
  return form;
}

// The tab panels name their searches; the rows come from the catalogue.
async function buildSearches() {
  for (const kind of await catalogue()) state.searches.set(kind.command, kind);
  const placed = new Set();
  for (const panel of document.querySelectorAll('[role="tabpanel"][data-searches]')) {
    for (const command of panel.dataset.searches.split(' ')) {
      const kind = state.searches.get(command);
      if (!kind) throw new Error(`the calculator has no ${command} search`);
      placed.add(command);
      panel.append(searchForm(kind, panel === document.querySelector('[role="tabpanel"]')));
    }
  }
  const missing = [...state.searches.keys()].filter((command) => !placed.has(command));
  if (missing.length) throw new Error(`no tab offers the ${missing.join(', ')} search`);
}

// The set items of the base set chosen, first in the set-item box's list;
// the box itself empties, as the window's does.
async function chooseBaseSet(baseSetBox, setItemBox) {
  baseSetBox.dataset.chosen = baseSetBox.value;
  setItemBox.value = '';
  if (state.folder === null) return;
  const answer = await search(['--data', state.folder, 'set-items', await bytesOf(baseSetBox.value)]);
  offerSetItems(answer.entries, baseSetBox.value);
  if (answer.error) showError(answer.error);
}

// The set-item box offers the items of the base set chosen, then every other
// set item of the data with its base set beside it.
function offerSetItems(chosen = [], baseSet = null) {
  const own = chosen.filter((entry) => entry.name !== '').map((entry) => new Option(entry.name));
  const others = state.members
    .filter((member) => member.base_set !== baseSet)
    .map((member) => Object.assign(new Option(member.name), { label: member.base_set }));
  $('set-items').replaceChildren(...own, ...others);
}

// ---- Magic find, sort, separator, copy, CSV ----

function wireOptions() {
  $('mf-form').addEventListener('submit', async (event) => {
    event.preventDefault();
    const answer = await search(['mf', $('mf').value]);
    ['real-unique', 'real-set', 'real-rare'].forEach((id, i) => {
      $(id).textContent = String(answer.entries[i]?.value ?? 0);
    });
    showError(answer.error);
  });
  // As the window's command: the list shown takes ten blanks for "=", until
  // the next search.
  $('wide').addEventListener('click', () => {
    state.wide = true;
    for (const sep of $('list').querySelectorAll('.sep')) sep.textContent = WIDE_SEPARATOR;
  });
  $('copy').addEventListener('click', () => navigator.clipboard.writeText(listText()));
  $('csv').addEventListener('click', downloadCsv);
}

// Each entry as shown, a line each.
function listText() {
  return Array.from($('list').children, (row) => `${row.querySelector('.first').textContent}${row.querySelector('.sep').textContent}${row.querySelector('.second').textContent}\n`).join('');
}

// The file name the window suggests for a list: the name searched, without
// the characters a file name cannot hold.
function suggestedFileName(name) {
  const file = name.trim().replace(/[/\\:*?"<>|\u0000-\u001f]/g, '_');
  return file === '' ? 'drops' : file;
}

// The CSV of the answer shown, as the core writes it for every face: the
// search is run again for it.
async function downloadCsv() {
  if (!state.shown) return;
  const { stdout } = await run(['--format', 'csv', ...state.shown.args]);
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([stdout], { type: 'text/csv' }));
  link.download = `${suggestedFileName(state.shown.name)}.csv`;
  link.click();
  setTimeout(() => URL.revokeObjectURL(link.href), 0);
}

// ---- Data folders ----

// The check of the folder, as the tool's "check" makes it: a line under the
// list when it finds anything, opening to each problem with its file and line.
async function checkFolder() {
  const folder = state.folder;
  const report = await search(['--data', folder, 'check']);
  if (folder !== state.folder) return;
  const problems = report.problems ?? [];
  $('check').hidden = problems.length === 0;
  $('check-summary').textContent = report.summary ?? '';
  $('check-problems').tBodies[0].replaceChildren(...problems.map((problem) => {
    const row = document.createElement('tr');
    row.className = problem.severity;
    for (const text of [problem.path, problem.line ?? '', problem.severity, problem.message]) row.append(Object.assign(document.createElement('td'), { textContent: String(text) }));
    return row;
  }));
}

function fillList(id, entries) {
  $(id).replaceChildren(...entries.filter((entry) => entry.name !== '').map((entry) => new Option(entry.name)));
}

// The four lists of the name boxes; the first error met is shown, as the
// window shows the one that stops its start-up.
async function readLists() {
  const lists = ['monsters', 'items', 'base-sets', 'uniques'];
  const answers = await Promise.all([...lists, 'set-members'].map((list) => search(['--data', state.folder, 'list', list])));
  answers.slice(0, lists.length).forEach((answer, i) => fillList(lists[i], answer.entries));
  state.members = answers.at(-1).entries.filter((member) => member.name !== '');
  offerSetItems();
  // Checking reads every file: a folder read as searches need it is checked
  // when the player asks, so that the first search does not wait behind it.
  $('check').hidden = true;
  $('check-offer').hidden = state.whole;
  if (state.whole) checkFolder();
  showError(answers.find((answer) => answer.error)?.error ?? null);
}

async function open(source) {
  const status = $('data-status');
  status.textContent = `Reading ${source.name}…`;
  try {
    const started = performance.now();
    const folder = await source.read();
    const count = folder.files.length;
    const loaded = await loadFolder(folder.name, folder.files, { transfer: true });
    state.source = source;
    state.folder = folder.name;
    state.whole = loaded.inMemory !== false;
    await readLists();
    $('reload').disabled = false;
    const ms = Math.round(performance.now() - started);
    // A large folder's files are read as the searches need them: its first
    // searches take longer.
    status.textContent = state.whole
      ? `Data: ${folder.name}, ${count} files, read in ${ms} ms.`
      : `Data: ${folder.name}, ${count} files, opened in ${ms} ms; each search reads the files it needs.`;
    document.body.dataset.inMemory = String(state.whole);
    document.body.dataset.loadMs = ms;
    document.body.dataset.readyAt ||= Math.round(performance.now());
    document.body.dataset.ready = 'true';
    if (state.lastSearch) await searchOrSay(state.lastSearch);
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

// F5 stays the browser's: Reload reads the folder again.
function wireData() {
  $('open').addEventListener('click', async () => {
    if (!window.showDirectoryPicker) {
      $('folder-input').click();
      return;
    }
    try {
      const handle = await window.showDirectoryPicker();
      $('reopen').hidden = true;
      rememberFolder(handle);
      open(handleSource(handle));
    } catch (error) {
      if (error.name !== 'AbortError') $('data-status').textContent = error.message;
    }
  });
  $('folder-input').addEventListener('change', (event) => event.target.files.length && open(inputSource(event.target.files)));
  $('sample').addEventListener('click', () => open(sampleSource()));
  $('reload').addEventListener('click', () => state.source && open(state.source));
  $('check-now').addEventListener('click', () => {
    $('check-offer').hidden = true;
    checkFolder();
  });
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
}

// Where the browser keeps folder handles, the folder picked last time is
// offered again; the browser asks the player before the page reads it.
async function offerLastFolder() {
  const handle = await lastFolder();
  if (!handle) return;
  const button = $('reopen');
  button.textContent = `Reopen ${handle.name}`;
  button.hidden = false;
  button.onclick = async () => {
    button.hidden = true;
    if (await mayRead(handle).catch(() => false)) open(handleSource(handle));
    else $('data-status').textContent = `${handle.name} may not be read: open it again.`;
  };
}

// ---- Tabs: arrows, Home and End move between them, Tab goes into the panel ----

const tabs = () => Array.from(document.querySelectorAll('[role="tab"]'));

function selectTab(tab) {
  for (const other of tabs()) {
    const on = other === tab;
    other.setAttribute('aria-selected', String(on));
    other.tabIndex = on ? 0 : -1;
    $(other.getAttribute('aria-controls')).hidden = !on;
  }
}

function wireTabs() {
  const all = tabs();
  const choose = (tab) => {
    selectTab(tab);
    tab.focus();
    keepChoices();
  };
  all.forEach((tab, i) => {
    tab.addEventListener('click', () => choose(tab));
    tab.addEventListener('keydown', (event) => {
      const to = { ArrowRight: i + 1, ArrowLeft: i - 1, Home: 0, End: all.length - 1 }[event.key];
      if (to === undefined) return;
      event.preventDefault();
      choose(all[(to + all.length) % all.length]);
    });
  });
}

// ---- What the page keeps for the next visit, as the window does: the magic
// find, the sort, each search's difficulties and the tab shown. A first
// visit, or a browser that keeps nothing, starts as the page is written. ----

const KEPT = 'dropcalc.choices';

function keptChoices() {
  try {
    const kept = JSON.parse(localStorage.getItem(KEPT));
    return kept !== null && typeof kept === 'object' ? kept : {};
  } catch {
    return {};
  }
}

// The difficulties ticked in each search's row, by its command; rows not
// built yet keep what was kept for them.
function tickedDifficulties() {
  const ticked = { ...keptChoices().difficulties };
  for (const form of document.querySelectorAll('form[data-command]')) {
    ticked[form.dataset.command] = Array.from(form.querySelectorAll('.difficulties input:checked'), (box) => box.value);
  }
  return ticked;
}

function keepChoices() {
  const choices = {
    mf: $('mf').value,
    sort: sortMode(),
    tab: document.querySelector('[role="tab"][aria-selected="true"]').id,
    difficulties: tickedDifficulties(),
  };
  try {
    localStorage.setItem(KEPT, JSON.stringify(choices));
  } catch {
    // Storage turned off or full: the next visit starts afresh.
  }
}

// Sets the controls as they were kept; a choice that is missing or that no
// control takes leaves its control as it is.
function restoreChoices() {
  const kept = keptChoices();
  if (typeof kept.mf === 'string') $('mf').value = kept.mf;
  const sort = Array.from(document.querySelectorAll('input[name="sort"]')).find((box) => box.value === kept.sort);
  if (sort) sort.checked = true;
  const tab = tabs().find((t) => t.id === kept.tab);
  if (tab) selectTab(tab);
}

function restoreDifficulties() {
  const kept = keptChoices().difficulties ?? {};
  for (const form of document.querySelectorAll('form[data-command]')) {
    const ticked = kept[form.dataset.command];
    if (!Array.isArray(ticked)) continue;
    const boxes = Array.from(form.querySelectorAll('.difficulties input'));
    // A radio button is chosen, never cleared: its group keeps one.
    if (boxes[0]?.type === 'radio' && !boxes.some((box) => ticked.includes(box.value))) continue;
    for (const box of boxes) box.checked = ticked.includes(box.value);
  }
}

function wireKeeping() {
  $('mf').addEventListener('input', keepChoices);
  $('sort').addEventListener('change', keepChoices);
  document.querySelector('.searches').addEventListener('change', (event) => {
    if (event.target.closest('.difficulties')) keepChoices();
  });
}

// The service worker keeps the site for use without its server; a browser
// that has none (or a page opened from a file) goes on without it.
function keepOffline() {
  navigator.serviceWorker?.register('sw.js').catch((error) => {
    console.warn(`The page cannot be kept for use offline: ${error.message}`);
  });
}

restoreChoices();
wireTabs();
wireOptions();
wireData();
wireKeeping();
buildSearches()
  .then(restoreDifficulties)
  // Opened as index.html#sample, the page starts on the sample data.
  .then(() => (location.hash === '#sample' ? open(sampleSource()) : offerLastFolder()))
  .catch((error) => {
    $('data-status').textContent = `The calculator could not start: ${error.message}`;
  })
  .then(() => {
    document.body.dataset.loaded = 'true';
    keepOffline();
  });
