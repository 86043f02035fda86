// SPDX-License-Identifier: MIT
#pragma once

// Starts Quillmark in the system tray and runs until the user quits. Answers the exit code.
int runTrayApplication(int argc, char** argv);
