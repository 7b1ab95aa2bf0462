#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 Zel developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Ansible module: the seats of a multiseat machine laid out as a layout file says."""

DOCUMENTATION = r"""
---
module: zel_multiseat
short_description: Lay out the seats of a multiseat machine from a layout file
description:
  - Runs C(zel-multiseatctl apply) with a layout file exported from the
    Zel admin multiseat window or from C(zel-multiseatctl export).
  - Idempotent, with check mode and diff mode. C(changed) comes from the
    command's exit code; a layout rule that refuses the layout fails the task
    and names the rule in C(rule).
options:
  layout:
    description: The layout file on the managed machine. Required unless I(state=reset).
    type: path
  state:
    description: C(applied) lays the seats out as the file says; C(reset) puts every
      device back on the main seat and removes the further seats.
    type: str
    choices: [applied, reset]
    default: applied
  restart:
    description: Restart the display manager after a change, so that the seats get
      their login screens. Only for I(state=applied).
    type: bool
    default: true
  executable:
    description: The zel-multiseatctl to run.
    type: path
    default: zel-multiseatctl
requirements:
  - zel-admin-multiseat on the managed machine; the task needs root (become).
"""

EXAMPLES = r"""
- name: Lay out the lab's seats
  zel_multiseat:
    layout: /etc/zel-admin-multiseat/lab.json
"""

RETURN = r"""
moves:
  description: The devices that change seat and the seats that get another
    name, one line each ("KEY  FROM -> TO  \"NAME\"").
  type: list
  elements: str
  returned: always
rule:
  description: The layout rule that refused the layout.
  type: str
  returned: when a rule refused the layout
exit_code:
  description: The command's exit code (0 unchanged, 2 changed, 1 error, 3 refused);
    not called rc, which Ansible takes for a failure whenever it is not 0.
  type: int
  returned: always
"""

import re

from ansible.module_utils.basic import AnsibleModule

UNCHANGED, FAILED, CHANGED, REFUSED = 0, 1, 2, 3
RULE = re.compile(r"refused by the layout rule (\S+):")


def main():
    module = AnsibleModule(
        argument_spec=dict(
            layout=dict(type="path"),
            state=dict(type="str", choices=["applied", "reset"], default="applied"),
            restart=dict(type="bool", default=True),
            executable=dict(type="path", default="zel-multiseatctl"),
        ),
        required_if=[("state", "applied", ("layout",))],
        supports_check_mode=True,
    )
    params = module.params
    executable = module.get_bin_path(params["executable"], required=True)
    if params["state"] == "reset":
        args = [executable, "reset", "--check" if module.check_mode else "--yes"]
    else:
        args = [executable, "apply", "--diff"]
        if module.check_mode:
            args.append("--check")
        if not params["restart"]:
            args.append("--no-restart")
        args += ["--", params["layout"]]

    # The messages in English, whatever the machine speaks: the rule is read off them.
    rc, out, err = module.run_command(args, environ_update={"LC_ALL": "C.UTF-8", "LANGUAGE": ""})
    result = dict(exit_code=rc, stdout=out, stderr=err, moves=[])

    if params["state"] == "applied":
        result["moves"] = [line for line in out.splitlines() if line.strip()]
        if module._diff and result["moves"]:
            result["diff"] = dict(prepared="\n".join(result["moves"]) + "\n")
    if rc == UNCHANGED:
        module.exit_json(changed=False, **result)
    if rc == CHANGED:
        module.exit_json(changed=True, **result)
    if rc == REFUSED:
        found = RULE.search(err)
        result["rule"] = found.group(1) if found else ""
    module.fail_json(msg=err.strip() or "zel-multiseatctl failed with %d" % rc, **result)


if __name__ == "__main__":
    main()
