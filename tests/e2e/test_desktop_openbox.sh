#!/bin/bash
# Under openbox, with a panel and another window: see desktop.sh.
exec bash "$(dirname "$0")/desktop.sh" openbox "$1"
