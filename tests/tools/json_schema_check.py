#!/usr/bin/env python3
"""Checks the tavrin command's JSON against tools/tavrin/json-schema.json.

commands: runs every command of `tavrin help-all` with --json (publish aside)
against a temporary state file of the simulated CNC and a copy of the example
simulation folder, and validates each document against its command's
definition; a command without a case here fails, so does a key that is not
snake_case outside the documented letter maps.

publish: runs `tavrin publish --count 2` against a Mosquitto broker started
on a free loopback port and validates every payload of every topic.
"""
import argparse
import json
import os
import queue
import re
import shutil
import socket
import subprocess
import sys
import tempfile
import threading
import time

import jsonschema

KEY = re.compile(r"^[a-z][a-z0-9_]*$")
# Maps whose keys are the letters a user types (offset items, spindle sides).
LETTER_MAPS = {("items",), ("sides",)}

failures = []


def fail(what):
    failures.append(what)
    print("FAILED: " + what, file=sys.stderr)


def check_keys(document, where, path=()):
    if isinstance(document, dict):
        for key, value in document.items():
            if path not in LETTER_MAPS and not KEY.match(key):
                fail(f"{where}: key {'.'.join(path + (key,))!r} is not snake_case starting with a letter")
            check_keys(value, where, path + (key,))
    elif isinstance(document, list):
        for value in document:
            check_keys(value, where, path)


class Schema:
    def __init__(self, path):
        with open(path) as f:
            self.root = json.load(f)
        jsonschema.Draft202012Validator.check_schema(self.root)
        self.used = set()

    def validate(self, name, document, where):
        self.used.add(name)
        if name not in self.root["$defs"]:
            fail(f"{where}: the schema has no definition {name}")
            return
        validator = jsonschema.Draft202012Validator({"$ref": "#/$defs/" + name, "$defs": self.root["$defs"]})
        for error in validator.iter_errors(document):
            fail(f"{where}: {error.message} at {'/'.join(map(str, error.absolute_path)) or 'the top'}")
        check_keys(document, where)


def commands(args, schema):
    work = tempfile.mkdtemp(prefix="tavrin-json-schema-")
    try:
        shutil.copytree(os.path.join(args.source_dir, "examples", "sim"), os.path.join(work, "c"))
        base = [args.tavrin, "--sim", os.path.join(work, "state.toml"), "--drive-c", os.path.join(work, "c")]
        env = dict(os.environ, XDG_STATE_HOME=os.path.join(work, "xdg"))
        env.pop("DISPLAY", None)  # demo and sim end without a viewer
        master, slave = os.openpty()
        env["TAVRIN_COM7"] = os.ttyname(slave)

        # (definition, command words, expected exit status, extra environment)
        cases = [
            ("paths", ["paths"], 0, {}),
            ("error", ["error", "-8"], 0, {}),
            ("param_get", ["param", "get", "1420", "--kind", "two-word", "--axis", "all"], 0, {}),
            ("param_get", ["param", "get", "3115.0", "-k", "bit", "-a", "5", "--generic"], 0, {}),
            ("param_get", ["param", "get", "1320", "--kind", "real", "--axis", "1"], 0, {}),
            ("param_get", ["param", "get", "32000", "--kind", "word"], 1, {}),
            ("param_set", ["param", "set", "1420", "21000", "-k", "two-word", "-a", "2"], 0, {}),
            ("pmc_value", ["pmc", "get", "R6836", "--size", "word"], 0, {}),
            ("pmc_value", ["pmc", "set", "D9550.0", "on"], 0, {}),
            ("pmc_value", ["pmc", "set", "D9550.9", "on"], 2, {}),
            ("pmc_address_for_path", ["pmc", "address", "F0.3", "--for-path", "2"], 0, {}),
            ("macro_get", ["macro", "get", "10434", "--count", "2"], 0, {}),
            ("macro_set", ["macro", "set", "500", "12.5", "--count", "3"], 0, {}),
            ("offset_get", ["offset", "get", "2"], 0, {}),
            ("offset_set", ["offset", "set", "3", "X", "-1.25", "--wear"], 0, {}),
            ("machine_status", ["machine", "status"], 0, {}),
            ("machine_set", ["machine", "set", "machine-lock", "on"], 0, {}),
            ("machine_request", ["machine", "request", "work-preset"], 0, {}),
            ("machine_identity", ["machine", "identity"], 0, {}),
            ("machine_axes", ["machine", "axes"], 0, {}),
            ("machine_atc", ["machine", "atc", "get", "1"], 0, {}),
            ("machine_atc", ["machine", "atc", "set", "1", "--tcode", "5", "--large", "on"], 0, {}),
            ("machine_magazine", ["machine", "magazine"], 0, {}),
            ("tool_count_status", ["machine", "tool-count", "status"], 0, {}),
            ("tool_count_clear_status", ["machine", "tool-count", "clear-status", "0"], 0, {}),
            ("tool_count", ["machine", "tool-count", "get", "1"], 0, {}),
            ("tool_count", ["machine", "tool-count", "set", "1", "--setting", "10"], 0, {}),
            ("watch", ["watch", "--count", "2", "--interval", "0"], 0, {}),
            ("sim_models", ["sim", "models"], 0, {}),
            ("sim_structure", ["sim", "structure"], 0, {}),
            ("sim_files", ["sim", "files"], 0, {}),
            ("sim_set_z", ["sim", "set-z", "chuck", "L", "-150"], 0, {}),
            ("sim_model_get", ["chuck", "get", "L"], 0, {}),
            ("sim_model_get", ["jaws", "get", "R"], 0, {}),
            ("sim_model_get", ["work", "get", "L"], 0, {}),
            ("sim_set_z", ["chuck", "set", "L", "-140"], 0, {}),
            ("sim_set_z", ["jaws", "set", "R", "90"], 0, {}),
            ("sim_set_z", ["work", "set", "R", "-90"], 0, {}),
            ("sim_start", ["sim", "start"], 0, {"TAVRIN_SIMULATION": "/bin/true"}),
            ("sim_end", ["sim", "end"], 0, {}),
            ("sim_redraw", ["sim", "redraw"], 0, {}),
            ("sim_soft", ["sim", "soft", "on"], 0, {}),
            ("sim_soft", ["sim", "soft", "get"], 0, {}),
            ("language", ["language"], 0, {}),
            ("log", ["log", "checked against the JSON schema"], 0, {}),
            ("serial_send", ["serial", "send", "COM7", "x"], 0, {}),
            ("serial_listen", ["serial", "listen", "COM7", "--seconds", "0.2"], 0, {}),
            ("demo", ["demo"], 0, {}),
            ("help_all", ["help-all"], 0, {}),
        ]
        for name, words, status, extra in cases:
            where = "tavrin " + " ".join(words)
            try:
                run = subprocess.run(base + ["--json"] + words, env=dict(env, **extra), capture_output=True,
                                     text=True, timeout=60)
            except subprocess.TimeoutExpired:
                fail(where + ": no end within 60 s")
                continue
            if run.returncode != status:
                fail(f"{where}: exit status {run.returncode}, expected {status}: {run.stderr.strip()}")
            # watch writes one document per line, every other command one document.
            texts = run.stdout.splitlines() if name == "watch" else [run.stdout]
            for text in texts:
                try:
                    document = json.loads(text)
                except ValueError:
                    fail(f"{where}: no JSON document: {text[:200]!r}")
                    continue
                schema.validate(name, document, where)
        os.close(master)
        os.close(slave)

        # Every command of the reference has a case above (publish has its own test).
        reference = subprocess.run([args.tavrin, "help-all"], capture_output=True, text=True, check=True).stdout
        heads = re.findall(r"^### `tavrin ([^`]+)`", reference, re.M)
        leaves = [h for h in heads if not any(o.startswith(h + " ") for o in heads)]
        tried = [" ".join(words) for _, words, _, _ in cases]
        for leaf in leaves:
            if leaf != "publish" and not any(t == leaf or t.startswith(leaf + " ") for t in tried):
                fail(f"tavrin {leaf} has no case in this check: add one and its definition in the schema")
    finally:
        shutil.rmtree(work, ignore_errors=True)


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def publish(args, schema):
    work = tempfile.mkdtemp(prefix="tavrin-json-schema-publish-")
    broker = subscriber = None
    try:
        port = free_port()
        with open(os.path.join(work, "broker.conf"), "w") as conf:
            conf.write(f"listener {port} 127.0.0.1\npersistence false\nallow_anonymous true\n")
            if os.geteuid() == 0:
                conf.write("user root\n")  # else the broker would switch to its own user
        broker = subprocess.Popen([args.mosquitto, "-c", os.path.join(work, "broker.conf")],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 20
        while time.monotonic() < deadline:
            try:
                socket.create_connection(("127.0.0.1", port), timeout=1).close()
                break
            except OSError:
                time.sleep(0.05)
        subscriber = subprocess.Popen(
            [shutil.which("mosquitto_sub"), "-h", "127.0.0.1", "-p", str(port), "-v", "-t", "tavrin/#", "-t",
             "probe"], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        lines = queue.Queue()
        threading.Thread(target=lambda: [lines.put(line) for line in subscriber.stdout], daemon=True).start()
        # The subscription stands once a probe comes back through the broker.
        deadline = time.monotonic() + 20
        subscribed = False
        while not subscribed and time.monotonic() < deadline:
            subprocess.run([shutil.which("mosquitto_pub"), "-h", "127.0.0.1", "-p", str(port), "-t", "probe",
                            "-m", "x"], capture_output=True)
            try:
                subscribed = lines.get(timeout=0.5).startswith("probe ")
            except queue.Empty:
                pass
        if not subscribed:
            fail("publish: the test's broker or subscriber did not come up")
            return

        env = dict(os.environ, XDG_STATE_HOME=os.path.join(work, "xdg"))
        try:
            run = subprocess.run([args.tavrin, "--sim", os.path.join(work, "state.toml"), "--json", "publish",
                                  "--broker", f"mqtt://127.0.0.1:{port}", "--items",
                                  os.path.join(args.source_dir, "examples", "publish", "items.toml"),
                                  "--id", "schema", "--count", "2", "--stats"],
                                 env=env, capture_output=True, text=True, timeout=60)
        except subprocess.TimeoutExpired:
            fail("tavrin publish --count 2: no end within 60 s")
            return
        if run.returncode != 0:
            fail(f"tavrin publish: exit status {run.returncode}: {run.stderr.strip()}")
        schema.validate("publish", json.loads(run.stdout), "tavrin publish --json")

        kinds = {"availability": "publish_availability", "identity": "publish_identity",
                 "status": "publish_status", "items": "publish_item", "sweep": "publish_sweep"}
        seen = set()
        sweeps = 0
        deadline = time.monotonic() + 20
        while sweeps < 2 and time.monotonic() < deadline:
            try:
                topic, _, payload = lines.get(timeout=0.5).rstrip("\n").partition(" ")
            except queue.Empty:
                continue
            if not topic.startswith("tavrin/schema/"):
                continue
            kind = topic[len("tavrin/schema/"):].split("/")[0]
            if kind not in kinds:
                fail(f"publish: topic {topic} is not documented")
                continue
            seen.add(kind)
            sweeps += kind == "sweep"
            schema.validate(kinds[kind], json.loads(payload), "publish " + topic)
        for kind in sorted(set(kinds) - seen):
            fail(f"publish: no {kind} message arrived")
    finally:
        for process in (subscriber, broker):
            if process is not None:
                process.terminate()
                process.wait(timeout=10)
        shutil.rmtree(work, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("part", choices=["commands", "publish"])
    parser.add_argument("--tavrin", required=True)
    parser.add_argument("--schema", required=True)
    parser.add_argument("--source-dir", required=True)
    parser.add_argument("--mosquitto", default="/usr/sbin/mosquitto")
    args = parser.parse_args()
    schema = Schema(args.schema)
    (commands if args.part == "commands" else publish)(args, schema)
    print(f"{len(schema.used)} definitions checked, {len(failures)} failure(s)")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
