#include "app/cli/Preview.h"

// Not built yet: the reader behind it comes with its own change.
int previewXls(const PreviewOptions &options, QTextStream &out, QTextStream &err)
{
    err << "La lecture de ce type de fichier n'est pas encore disponible.\n";
    return 1;
}
