# A fresh minimal Debian 12 in a folder, for the checks that must not see what
# this machine has installed by hand. Sourced; the caller sets chroot_dir (a
# folder that does not exist yet) and log_dir, and calls fresh_debian_cleanup
# from its EXIT trap. QUILLET_DEBIAN_MIRROR picks the mirror.
mirror=${QUILLET_DEBIAN_MIRROR:-http://deb.debian.org/debian}
security=${QUILLET_DEBIAN_SECURITY_MIRROR:-http://deb.debian.org/debian-security}
mounted=()

in_chroot() { chroot "$chroot_dir" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive "$@"; }

fresh_debian_setup() {
  echo "debootstrap bookworm into $chroot_dir from $mirror"
  debootstrap --variant=minbase bookworm "$chroot_dir" "$mirror" >"$log_dir/debootstrap.log" 2>&1 ||
    { echo "FAILED: debootstrap (see $log_dir/debootstrap.log)"; exit 1; }
  cat >"$chroot_dir/etc/apt/sources.list" <<SOURCES
deb $mirror bookworm main
deb $mirror bookworm-updates main
deb $security bookworm-security main
SOURCES
  mount -t proc proc "$chroot_dir/proc" && mounted+=("$chroot_dir/proc")
  mount -t sysfs sysfs "$chroot_dir/sys" && mounted+=("$chroot_dir/sys")
  mount --bind /dev "$chroot_dir/dev" && mounted+=("$chroot_dir/dev")
  mount --bind /dev/pts "$chroot_dir/dev/pts" && mounted+=("$chroot_dir/dev/pts")
  in_chroot apt-get update >/dev/null
  in_chroot apt-get -y upgrade >/dev/null 2>&1
}

fresh_debian_cleanup() {
  local i p
  # What the tests left running there (a bus, a server) holds the mounts.
  for p in /proc/[0-9]*; do
    [[ "$(readlink "$p/root" 2>/dev/null)" == "$chroot_dir"* ]] && kill -9 "${p#/proc/}" 2>/dev/null
  done
  sleep 1
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount "${mounted[i]}" || true; done
  # Never delete through a mount that is still there.
  if grep -q " $chroot_dir[/ ]" /proc/mounts; then
    echo "still mounted below $chroot_dir; it stays"
  elif [ -z "${QUILLET_KEEP_CHROOT:-}" ]; then
    rm -rf "$chroot_dir"
  fi
}
