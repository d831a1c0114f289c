#include "res/resource.h"
#include "res/resources.h"

#include <QPixmap>

namespace {

// clang-format off
// Menu 132: the menu bar of the main window and the connection table's context menu.
constexpr MenuItemTemplate kManageConnectionsItems[] = {
    {"ReConnect",        ID_MANAGECONNECTIONS_RECONNECT},
    {nullptr,            0},
    {"Disconnect",       ID_MANAGECONNECTIONS_DISCONNECT},
    {nullptr,            0},
    {"Close Connection", ID_MANAGECONNECTIONS_CLOSECONNECTION},
};
constexpr MenuPopupTemplate kConnectionMenuPopups[] = {
    {"Manage Connections", kManageConnectionsItems},
};

// Dialog 102, the main window: 420 x 337 dialog units. Template order is the Tab order of the
// controls marked kTabStop; each label names the control in its last column.
constexpr ControlTemplate kRelayControls[] = {
    // kind                       id                         text                  x    y    cx   cy  style                        buddy
    {ControlKind::Label,         IDC_STATIC,                "Port to Listen:",    11,  112, 44,  8,  kNoStyle,                    IDC_LISTEN_PORT},
    {ControlKind::Bitmap,        IDC_BANNER,                ":/res/banner.png",   7,   7,   407, 54, kNotify | kSunken},
    {ControlKind::GroupBox,      IDC_STATIC,                "Client Side",        7,   80,  162, 50, kNoStyle},
    {ControlKind::Label,         IDC_STATIC,                "Interface:",         11,  93,  31,  8,  kNoStyle,                    IDC_CLIENT_INTERFACE},
    {ControlKind::Label,         IDC_STATIC,                "IP:",                180, 111, 10,  8,  kNoStyle,                    IDC_TARGET_HOST},
    {ControlKind::Label,         IDC_STATIC,                "Port:",              267, 111, 16,  8,  kNoStyle,                    IDC_TARGET_PORT},
    {ControlKind::Edit,          IDC_LISTEN_PORT,           nullptr,              59,  109, 40,  14, kTabStop | kBorder},
    {ControlKind::Edit,          IDC_TARGET_PORT,           nullptr,              287, 108, 40,  14, kTabStop | kBorder},
    {ControlKind::Edit,          IDC_TARGET_HOST,           nullptr,              193, 108, 69,  14, kTabStop | kBorder},
    {ControlKind::DropList,      IDC_CLIENT_INTERFACE,      nullptr,              59,  92,  103, 44, kTabStop | kVScroll},
    {ControlKind::PushButton,    IDC_START_FORWARDING,      "Start Forwarding",   338, 92,  66,  14, kTabStop},
    {ControlKind::PushButton,    IDC_STOP,                  "Stop",               338, 108, 66,  14, kTabStop},
    {ControlKind::ListView,      IDC_CONNECTIONS,           "Connections",        7,   144, 406, 186, kTabStop | kBorder},
    {ControlKind::Label,         IDC_LINK,                  "Skylark Notes 3 keeps every note, sketch and link in one searchable notebook.",
                                                                                  10,  66,  335, 8,  kNotify | kGroup},
    {ControlKind::PushButton,    IDC_DOWNLOAD_NOW,          "Download Now!",      348, 62,  61,  17, kTabStop},
    {ControlKind::GroupBox,      IDC_STATIC,                "Forwading Side",     174, 80,  239, 50, kNoStyle},
    {ControlKind::Label,         IDC_STATIC,                "Interface:",         179, 93,  31,  8,  kNoStyle,                    IDC_FORWARDING_INTERFACE},
    {ControlKind::DropList,      IDC_FORWARDING_INTERFACE,  nullptr,              227, 92,  103, 44, kTabStop | kVScroll},
};

// Dialog 100, the About box: 235 x 55 dialog units.
constexpr ControlTemplate kAboutControls[] = {
    {ControlKind::Icon,          IDC_STATIC,                ":/res/icon32.png",   11,  17,  20,  20, kNoStyle},
    {ControlKind::Label,         IDC_STATIC,                "Ferrolink Version 1.0.1", 40, 10, 119, 8, kNoStyle},
    {ControlKind::Label,         IDC_STATIC,                "Copyright (C) 2026 the Ferrolink developers", 40, 25, 119, 8, kNoStyle},
    {ControlKind::DefPushButton, 1,                         "OK",                 178, 7,   50,  14, kTabStop | kGroup},
};

struct StringEntry
{
    int nID;
    const char *text;
};
constexpr StringEntry kStringTable[] = {
    {IDS_ABOUTBOX,            "&About Ferrolink..."},
    {IDP_SOCKETS_INIT_FAILED, "Windows sockets initialization failed."},
};
// clang-format on

}  // namespace

const MenuTemplate kConnectionMenu = {IDR_CONNECTION_MENU, kConnectionMenuPopups};

const DialogTemplate kRelayDialogTemplate = {
    IDD_RELAY_DIALOG,      "Ferrolink",      420,           337, "MS Sans Serif", 8,
    /*bSysMenu=*/true,
    /*bMinimizeBox=*/true, &kConnectionMenu, kRelayControls};

const DialogTemplate kAboutDialogTemplate = {
    IDD_ABOUTBOX,           "About Ferrolink", 235,           55, "MS Sans Serif", 8,
    /*bSysMenu=*/true,
    /*bMinimizeBox=*/false, nullptr,           kAboutControls};

QString LoadResString(int nID)
{
    for (const StringEntry &entry : kStringTable) {
        if (entry.nID == nID)
            return QString::fromUtf8(entry.text);
    }
    return {};
}

QIcon LoadAppIcon()
{
    QIcon icon;
    for (const char *path :
         {":/res/icon128.png", ":/res/icon32.png", ":/res/icon24.png", ":/res/icon16.png"})
        icon.addFile(QString::fromLatin1(path));
    return icon;
}

bool LoadHandCursor(QCursor &rCursor)
{
    const QPixmap picture(QStringLiteral(":/res/hand.png"));
    if (picture.isNull())
        return false;
    rCursor = QCursor(picture, 5, 0);
    return true;
}
