"""Firefox for the end-to-end run: the test extension packed as an unsigned add-on into a fresh
profile's extensions folder, the hosts' manifests in the throw-away HOME's
~/.mozilla/native-messaging-hosts, which is where Firefox looks for them."""
import json
import os
import subprocess
import zipfile

import harness

# Fixed by browser_specific_settings in extension/manifest.firefox.json.
ADDON_ID = "morel-e2e@example.org"

PREFS = {
    # Firefox ESR loads an unsigned add-on when signatures are not required, and enables an
    # add-on found in the profile's extensions folder at start-up when no scope is left for the
    # user to approve first.
    "xpinstall.signatures.required": False,
    "extensions.autoDisableScopes": 0,
    "extensions.enabledScopes": 15,
    # Nothing on top of the page, nothing opened beside it.
    "browser.shell.checkDefaultBrowser": False,
    "browser.startup.homepage_override.mstone": "ignore",
    "browser.startup.page": 0,
    "startup.homepage_welcome_url": "",
    "browser.aboutwelcome.enabled": False,
    "datareporting.policy.dataSubmissionEnabled": False,
    "toolkit.telemetry.reportingpolicy.firstRun": False,
    "browser.sessionstore.resume_from_crash": False,
    "browser.translations.automaticallyPopup": False,
    "app.update.disabledForTesting": True,
    "extensions.update.enabled": False,
    # No network traffic of its own: the test needs none and may run without a network.
    "network.captive-portal-service.enabled": False,
    "network.connectivity-service.enabled": False,
    "dom.push.connection.enabled": False,
    "app.normandy.enabled": False,
    "extensions.getAddons.cache.enabled": False,
    "extensions.systemAddon.update.enabled": False,
    "browser.safebrowsing.malware.enabled": False,
    "browser.safebrowsing.phishing.enabled": False,
    "browser.safebrowsing.downloads.enabled": False,
    "datareporting.healthreport.uploadEnabled": False,
    # Wheel steps land at once, so the page reads where a scroll ended; the middle button
    # neither autoscrolls nor pastes.
    "general.smoothScroll": False,
    "general.autoScroll": False,
    "middlemouse.paste": False,
    "ui.prefersReducedMotion": 1,
}


class Firefox:
    name = "firefox"
    programs = ["firefox-esr", "firefox"]
    wm_class = "firefox"
    # The run's copy of the extension, set by the runner (harness.prepare_extension).
    extension = None

    def install_hosts(self, session, install_script, hosts):
        for name, path in hosts.items():
            harness.install_native_host(session, install_script, name, path,
                                        ["--firefox-extension-id", ADDON_ID])
        host = hosts[harness.HOST_NAME]
        m = harness.read_manifest(os.path.join(session.home, ".mozilla", "native-messaging-hosts",
                                               harness.HOST_NAME + ".json"))
        if m.get("path") != host or m.get("allowed_extensions") != [ADDON_ID]:
            raise harness.Failure(f"unexpected manifest {m}")

    def host_arguments(self, session):
        return [os.path.join(session.home, ".mozilla", "native-messaging-hosts",
                             harness.HOST_NAME + ".json"), ADDON_ID]

    def make_profile(self, session):
        profile = os.path.join(session.tmp, "profile")
        extensions = os.path.join(profile, "extensions")
        os.makedirs(extensions)
        # The add-on: the shared page and scripts, with Firefox's manifest as manifest.json.
        with zipfile.ZipFile(os.path.join(extensions, ADDON_ID + ".xpi"), "w") as xpi:
            for entry in sorted(os.listdir(self.extension)):
                if entry == "manifest.json":
                    continue
                arcname = "manifest.json" if entry == "manifest.firefox.json" else entry
                xpi.write(os.path.join(self.extension, entry), arcname)
        with open(os.path.join(profile, "user.js"), "w") as f:
            for key, value in PREFS.items():
                f.write(f"user_pref({json.dumps(key)}, {json.dumps(value)});\n")
        # The window's size, as Firefox remembers it from a previous session; openbox places
        # it (centred on the empty screen, at an odd pixel on a desktop scaled 2x).
        window = {"width": str(harness.WINDOW_SIZE[0]), "height": str(harness.WINDOW_SIZE[1]),
                  "sizemode": "normal"}
        with open(os.path.join(profile, "xulstore.json"), "w") as f:
            json.dump({"chrome://browser/content/browser.xhtml": {"main-window": window}}, f)
        return profile

    def start(self, session, program, scale):
        profile = self.make_profile(session)
        argv = [program, "--profile", profile, "--no-remote", "--new-instance", "about:blank"]
        with open(session.browser_log, "w") as log_file:
            session.start("firefox", argv, env=session.env(MOZ_CRASHREPORTER_DISABLE="1"),
                          stdout=log_file, stderr=subprocess.STDOUT)
