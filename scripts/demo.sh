#!/usr/bin/env bash
# The main job, on the build in BUILD_DIR: a real service call between two
# processes over DDS, driven by nothing but the type support's records.
# typesupport-service serves /dock_command in the background, on a DDS domain
# of its own and on loopback only; a second typesupport-service calls it; both
# sides' output is shown, and the server is stopped.
#
#   scripts/demo.sh BUILD_DIR
set -euo pipefail

build=$(realpath "${1:?usage: $0 BUILD_DIR}")
tool="$build/service/typesupport-service"
inspect="$build/inspector/typesupport-inspect"
if [ ! -x "$tool" ]; then
  echo "demo: $tool was not built (Cyclone DDS 0.10 missing?)" >&2
  exit 1
fi

# The type support library is found as ROS 2 finds it: by name, through the
# dynamic loader.
export LD_LIBRARY_PATH="$build${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"
export ROS_DOMAIN_ID="${ROS_DOMAIN_ID:-$((100 + $$ % 100))}"
export ROS_LOCALHOST_ONLY=1
type=zorv_interfaces/srv/StringCommand

echo "\$ typesupport-inspect libzorv_interfaces__rosidl_typesupport_introspection_c.so $type"
"$inspect" libzorv_interfaces__rosidl_typesupport_introspection_c.so "$type"
echo

served=$(mktemp)
trap 'rm -f "$served"' EXIT
echo "\$ typesupport-service serve /dock_command $type \"{answer: 'docking at 7'}\" &   # ROS_DOMAIN_ID=$ROS_DOMAIN_ID"
"$tool" serve /dock_command "$type" "{answer: 'docking at 7'}" >"$served" 2>&1 &
server=$!
echo "\$ typesupport-service call /dock_command $type \"{command: 'go to dock 7'}\""
status=0
"$tool" call /dock_command "$type" "{command: 'go to dock 7'}" || status=$?
kill -TERM "$server"
wait "$server" || status=$?
echo
echo "# what the server printed:"
cat "$served"
exit "$status"
