// SPDX-License-Identifier: MIT
#pragma once

class QWidget;

// Shows a window centred on the screen under the pointer, raised and activated. Quillmark
// has no window in front while the user works elsewhere; without asking for activation the
// window could open behind the application the user is in.
void showCentredInFront(QWidget* window);
