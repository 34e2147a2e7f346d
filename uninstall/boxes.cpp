#include "uninstall/boxes.h"

#include "uninstall/uninstall_texts.h"

namespace {

bool Silent;

}  // namespace

void SetBoxesSilent(bool silent)
{
  Silent = silent;
}

void ShowUninstallBox(const char *text, UINT icon)
{
  if (!Silent)
    MessageBoxA(nullptr, text, UninstallCaption, MB_OK | icon);
}

bool AskToRemove()
{
  return Silent || MessageBoxA(nullptr, RemoveQuestionText, UninstallCaption,
                               MB_YESNO | MB_ICONQUESTION) == IDYES;
}
