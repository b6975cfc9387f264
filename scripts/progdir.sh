# Sourced by run.sh and monkey.sh: lays out a program directory for a run on the
# simulator. prepare_program_dir DIR TTY_LINK writes the default configuration and
# settings where absent and the demo log, and points port 1 at TTY_LINK.
prepare_program_dir() {
  local prog="$1" tty_link="$2"
  mkdir -p "$prog/cfg" "$prog/dlg" "$prog/cap" "$prog/video"
  "$prog/logger-sim" --write-defaults "$prog"
  if [ ! -f "$prog/dlg/demo.dlg" ]; then
    "$prog/logger-sim" --write-image "$prog/dlg/demo.dlt"
    "$prog/logtool" decode "$prog/dlg/demo.dlt" -o "$prog/dlg/demo.dlg" --config 4711
  fi
  # Port 1 names the simulator's pty; every other line of the port map stays.
  local ports="$prog/cfg/ports.txt"
  touch "$ports"
  grep -v '^1=' "$ports" > "$ports.new" || true
  echo "1=$tty_link" >> "$ports.new"
  mv "$ports.new" "$ports"
  # Record 4 of init.prm (byte 384) is the port number.
  printf '\001' | dd of="$prog/cfg/init.prm" bs=1 seek=384 conv=notrunc status=none
}

# The channels the simulator logs for each program: the demo flight's for the logger,
# all twelve for the meter's live frames.
sim_channels() {
  case "$1" in
    logger) echo 1,2,3,5,6,11 ;;
    meter) echo 1,2,3,4,5,6,7,8,9,10,11,12 ;;
    *) return 1 ;;
  esac
}
