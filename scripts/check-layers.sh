#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Fails when an include under src/ points up a floor, sideways between features of one
# floor, or at a desktop adapter from outside platform/ and app/ (only the wiring in app/
# chooses adapters; everything else sees the ports in platform/*.h and the freedesktop
# helpers in platform/xdg/). Floors, bottom up:
#   core · platform · settings · ai input capture · updates · ui relay · onboarding cli · app
set -euo pipefail
cd "$(dirname "$0")/../src"
declare -A floor=([core]=0 [platform]=1 [settings]=2 [ai]=3 [input]=3 [capture]=3 [updates]=4
                  [ui]=5 [relay]=5 [onboarding]=6 [cli]=6 [app]=7 [.]=8)
status=0
while IFS=: read -r file line text; do
  from=${file%%/*}; [[ $file == */* ]] || from=.
  inc=${text#*\"}; inc=${inc%%\"*}
  to=${inc%%/*}
  [[ $inc == */* && -n ${floor[$to]+x} ]] || continue
  problem=""
  if ((floor[$to] > floor[$from])); then problem="points up ($from → $to)"
  elif [[ $to != "$from" ]] && ((floor[$to] == floor[$from])); then problem="points sideways ($from → $to)"
  elif [[ $to == platform && $inc == platform/*/* && $inc != platform/xdg/* && $from != platform && $from != app && $from != . ]]; then
    problem="uses an adapter outside the wiring"
  fi
  if [[ -n $problem ]]; then echo "src/$file:$line: #include \"$inc\" $problem"; status=1; fi
done < <(grep -rn --include='*.h' --include='*.cpp' --include='*.in' '^#include "' .  | sed 's|^\./||')
if ((status == 0)); then echo "layers: no include points up, sideways or past the ports"; fi
exit $status
