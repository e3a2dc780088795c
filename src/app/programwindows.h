#pragma once

// Registers the windows of every area with the main window's entries
// (WindowRegistry): what the program's start does before the main window
// loads. Call once.
void registerProgramWindows();
