// The floor of the start-up benchmark: a bare program that shows a message
// box, the least any installer's first window costs under the same Wine.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
  MessageBoxA(nullptr, "The floor of the start-up benchmark.", "Floor", MB_OK);
  return 0;
}
