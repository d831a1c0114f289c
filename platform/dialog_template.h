#pragma once

#include <cstdint>
#include <span>

// Dialog and menu templates: a window's controls, ids, positions (in dialog units) and Tab order
// in one table, read by CDialog and CMenu. The tables themselves live with the program's
// resources.

struct MenuItemTemplate
{
    const char *text;  // nullptr for a separator
    std::uint32_t nID;
};

struct MenuPopupTemplate
{
    const char *text;
    std::span<const MenuItemTemplate> items;
};

struct MenuTemplate
{
    int nID;
    std::span<const MenuPopupTemplate> popups;
};

enum class ControlKind
{
    Label,          // static text
    GroupBox,       // a frame with a caption
    Edit,           // single-line edit field, scrolling horizontally
    DropList,       // drop-down list without typing; the height includes the dropped list
    PushButton,     // push button
    DefPushButton,  // the default push button (Enter presses it)
    ListView,       // report-style list
    Bitmap,         // picture showing an image resource
    Icon,           // picture showing an icon resource
};

enum ControlStyle : std::uint32_t
{
    kNoStyle = 0,
    kTabStop = 0x1,  // takes the focus by Tab, in template order
    kNotify = 0x2,   // reports clicks
    kSunken = 0x4,   // sunken edge
    kVScroll = 0x8,  // vertical scroll bar
    kBorder = 0x10,  // border
    kGroup = 0x20,   // starts a control group
};

struct ControlTemplate
{
    ControlKind kind;
    int nID;           // -1 for a control that is never addressed
    const char *text;  // caption, or the resource path of a picture
    int x, y, cx, cy;  // dialog units
    std::uint32_t style;
    int nBuddyID = 0;  // for a label: the control it names (focus by mnemonic, screen readers)
};

struct DialogTemplate
{
    int nID;
    const char *caption;
    int cx, cy;  // client area, dialog units
    const char *fontFace;
    int nPointSize;
    bool bSysMenu;
    bool bMinimizeBox;
    const MenuTemplate *pMenu;  // menu bar, or nullptr
    std::span<const ControlTemplate> controls;
};
