// Opens the test page in the browser's first tab once the extension is loaded. The test starts
// the browser on about:blank with a fresh profile, so this runs exactly once.
// Firefox names the extension API `browser`, Chromium `chrome`; both return promises here.
const api = globalThis.browser || globalThis.chrome;

async function openTestPage() {
  const url = api.runtime.getURL('page.html');
  const tabs = await api.tabs.query({});
  if (tabs.some((t) => t.url === url || t.pendingUrl === url)) return;
  const [active] = await api.tabs.query({active: true, lastFocusedWindow: true});
  if (active) {
    await api.tabs.update(active.id, {url});
  } else {
    await api.tabs.create({url});
  }
}

api.runtime.onInstalled.addListener(() => { openTestPage(); });
api.runtime.onStartup.addListener(() => { openTestPage(); });
