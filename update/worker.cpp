#include "update/update.h"

#include "app/ui.h"

void UpdateWorker()
{
    UiEndDialog();
}
