#!/bin/sh
# Succeeds where this machine runs 32-bit x86 Linux programs, natively or
# through an emulator registered with binfmt_misc; prints nothing.
#   can-run-32-bit.sh --emulated   succeeds only where qemu runs them
if [ "${1:-}" = --emulated ]; then
  [ "$(head -n 1 /proc/sys/fs/binfmt_misc/qemu-i386 2>/dev/null)" = enabled ]
else
  /lib/ld-linux.so.2 --version >/dev/null 2>&1
fi
