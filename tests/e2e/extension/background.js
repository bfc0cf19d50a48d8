// Opens the test page in the browser's first tab once the extension is loaded. The test starts
// the browser on about:blank with a fresh profile, so this runs exactly once.
async function openTestPage() {
  const url = chrome.runtime.getURL('page.html');
  const tabs = await chrome.tabs.query({});
  if (tabs.some((t) => t.url === url || t.pendingUrl === url)) return;
  const [active] = await chrome.tabs.query({active: true, lastFocusedWindow: true});
  if (active) {
    await chrome.tabs.update(active.id, {url});
  } else {
    await chrome.tabs.create({url});
  }
}

chrome.runtime.onInstalled.addListener(() => { openTestPage(); });
chrome.runtime.onStartup.addListener(() => { openTestPage(); });
