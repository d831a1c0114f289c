#include "ui/link_bitmap.h"

const char *const CLinkBitmap::kDefaultURL = "https://skylark-notes.example.com/";

CLinkBitmap::CLinkBitmap()
{
    SetURL(QString::fromLatin1(kDefaultURL));
}
