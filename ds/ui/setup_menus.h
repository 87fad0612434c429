// The setup window's pop-up menus: built afresh on each use, tracked with
// the window as owner (the chosen entry arrives as a command) and destroyed.
#pragma once

// Under the "Option Settings..." button: prescan mode, invert, halftone
// cell, setting files, about.
void ShowOptionMenu();
// At the source button: reflective, positive or negative film.
void ShowSourceMenu();
// Under the "More..." button: the resolution presets.
void ShowPresetMenu();
