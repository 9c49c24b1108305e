#!/bin/bash
# Under xfwm4, with a panel and another window: see desktop.sh.
exec bash "$(dirname "$0")/desktop.sh" xfwm4 "$1"
