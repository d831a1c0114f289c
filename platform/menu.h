#pragma once

#include "platform/dialog_template.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

class QMenu;
class QWidget;

inline constexpr std::uint32_t MF_STRING = 0x0000;
inline constexpr std::uint32_t MF_SEPARATOR = 0x0800;
inline constexpr std::uint32_t TPM_LEFTALIGN = 0x0000;
inline constexpr std::uint32_t TPM_RIGHTBUTTON = 0x0002;

// Receives the command of a chosen menu item.
class CCmdTarget
{
public:
    virtual ~CCmdTarget() = default;
    virtual void OnCommand(std::uint32_t nID) = 0;
};

// A menu: either the loaded copy of a menu template (whose items are pop-ups) or one pop-up.
// A loaded menu owns its pop-ups; DestroyMenu (or the destructor) frees them.
class CMenu
{
public:
    CMenu();
    ~CMenu();
    CMenu(const CMenu &) = delete;
    CMenu &operator=(const CMenu &) = delete;

    // Makes a new copy of the template's menu. Returns false if this object holds one already.
    bool LoadMenu(const MenuTemplate &menuTemplate);
    void DestroyMenu();
    // The pop-up at nPos, owned by this menu; nullptr if there is none.
    CMenu *GetSubMenu(int nPos);

    // Appends an item (MF_STRING with its command id and text) or a separator (MF_SEPARATOR).
    bool AppendMenu(std::uint32_t nFlags, std::uint32_t nIDNewItem = 0,
                    const QString &strItem = {});

    // Shows this pop-up with its top-left corner at screen point (x, y), owned by pOwner, and
    // returns when it closes. The chosen item's command is posted to pTarget: it runs after the
    // caller's handler has returned, like any other command.
    bool TrackPopupMenu(std::uint32_t nFlags, int x, int y, QWidget *pOwner, CCmdTarget *pTarget);

    // The QMenu behind a pop-up, for a menu bar or a button to show.
    QMenu *GetQMenu() const { return m_pMenu; }
    // Sends every command of this pop-up (and its pop-ups) to pTarget when chosen.
    void RouteCommands(CCmdTarget *pTarget);

private:
    QMenu *m_pMenu = nullptr;  // the pop-up (or the container of the pop-ups)
    bool m_bOwned = false;
    std::vector<std::unique_ptr<CMenu>> m_subMenus;
};
