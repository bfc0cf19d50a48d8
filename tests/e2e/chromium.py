"""Chromium for the end-to-end run: the unpacked test extension loaded from its folder, the
hosts' manifests in the fresh profile's NativeMessagingHosts folder."""
import os
import subprocess

import harness

# Fixed by the "key" in extension/manifest.json.
EXTENSION_ID = "dcbdecigoodihlboncbfemkacmbogiia"


class Chromium:
    name = "chromium"
    programs = ["chromium", "chromium-browser"]
    wm_class = "chromium"

    def profile(self, session):
        return os.path.join(session.tmp, "profile")

    def install_hosts(self, session, install_script, hosts):
        profile = self.profile(session)
        for name, path in hosts.items():
            harness.install_native_host(session, install_script, name, path,
                                        ["--user-data-dir", profile,
                                         "--extension-id", EXTENSION_ID])
        host = hosts[harness.HOST_NAME]
        m = harness.read_manifest(
            os.path.join(profile, "NativeMessagingHosts", harness.HOST_NAME + ".json"))
        if m.get("path") != host or m.get("allowed_origins") != [f"chrome-extension://{EXTENSION_ID}/"]:
            raise harness.Failure(f"unexpected manifest {m}")

    def host_arguments(self, session):
        return [f"chrome-extension://{EXTENSION_ID}/"]

    # The run's copy of the extension, set by the runner (harness.prepare_extension).
    extension = None

    def launch(self, session, program, placement):
        """Starts Chromium with a fresh profile, the extension loaded and no traffic of its
        own; `placement` says where and how its window is shown."""
        argv = [
            program,
            f"--user-data-dir={self.profile(session)}",
            f"--load-extension={self.extension}",
            # Recent browsers only honour --load-extension with this feature off.
            "--disable-features=DisableLoadExtensionCommandLineSwitch,Translate,MediaRouter,"
            "OptimizationHints,AutofillServerCommunication",
            "--no-first-run", "--no-default-browser-check",
            "--disable-background-networking", "--disable-component-update", "--disable-sync",
            "--disable-default-apps", "--disable-gpu", "--password-store=basic",
            "--force-color-profile=srgb",
            # Wheel steps land at once, so the page reads where a scroll ended.
            "--disable-smooth-scrolling",
            # No infobar about the flags below: it would move the page while the test runs.
            "--test-type",
            *placement,
        ]
        if os.geteuid() == 0:
            argv.append("--no-sandbox")  # the sandbox refuses to run as root
        argv.append("about:blank")
        with open(session.browser_log, "w") as log_file:
            session.start("chromium", argv, env=session.env(), stdout=log_file,
                          stderr=subprocess.STDOUT)

    def start(self, session, program, scale):
        self.launch(session, program, [
            f"--force-device-scale-factor={scale}",
            f"--window-position={harness.WINDOW_POSITION[0]},{harness.WINDOW_POSITION[1]}",
            f"--window-size={harness.WINDOW_SIZE[0]},{harness.WINDOW_SIZE[1]}",
            "--ozone-platform=x11",
        ])
