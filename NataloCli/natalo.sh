#!/bin/sh
# The launcher: without a command it starts the application; with a command
# (list, next, export, add, help) or --help it runs the command line. The
# program folder lies beside this script's folder, also when it is reached
# through a link.
folder="$(dirname "$(readlink -f "$0")")/../lib/Natalo"
case "$1" in
  "" | --screen=* | --exit-after-first-paint) exec "$folder/Natalo" "$@" ;;
  *) exec "$folder/NataloCli" "$@" ;;
esac
