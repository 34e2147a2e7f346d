// The full-screen main window and what it measured of the display.
#pragma once

#include <windows.h>

extern char ClassName[20];  // string 301: class name, title, menu and accelerator name
extern HWND MainWindow;
extern int ScreenWidth;
extern int ScreenHeight;
extern int ScreenBitsPerPixel;

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Command 4444: runs the pages, reports the outcome, closes the main window.
LRESULT SetupWizard(HWND window, UINT id, UINT code, LPARAM lParam);
