#pragma once

#include "platform/data_exchange.h"
#include "platform/dialog_template.h"
#include "platform/menu.h"

#include <QDialog>
#include <QIcon>
#include <QPoint>
#include <cstdint>
#include <map>
#include <memory>

class QMenuBar;
class QToolButton;

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr std::uint32_t SC_MINIMIZE = 0xF020;
inline constexpr std::uint32_t SC_CLOSE = 0xF060;
inline constexpr std::uint32_t NM_RCLICK = static_cast<std::uint32_t>(-5);

// A dialog window built from a DialogTemplate: its controls are made at the template's positions
// (mapped from dialog units through the dialog font), in its Tab order, under the template's menu
// bar. The members that a subclass exchanges with the controls go through DoDataExchange.
//
// Keyboard as dialogs have it: Enter presses the focused push button, or else is OK (read and
// validate the form; close only when every field is accepted); Escape, the close box and the
// system menu's Close are Cancel (close without reading). The system menu opens from the icon
// button at the left end of the menu bar and by Alt+Space. Owns its widgets. GUI thread only.
class CDialog : public QDialog, public CCmdTarget
{
public:
    explicit CDialog(const DialogTemplate &dialogTemplate, QWidget *pParent = nullptr);
    ~CDialog() override;

    // Builds the window, runs OnInitDialog and the modal loop; returns IDOK or IDCANCEL.
    int DoModal();
    // Builds the window and runs OnInitDialog without a modal loop (it is shown by show()).
    bool Create();

    // true: controls to members, validated (false when a field was rejected);
    // false: members to controls.
    bool UpdateData(bool bSaveAndValidate = true);

    // The control made for id nID, or nullptr.
    QWidget *GetDlgItem(int nID) const;
    void SetIcon(const QIcon &icon, bool bBigIcon);
    // The system menu: "Minimize", "Close" and whatever the program appends.
    CMenu *GetSystemMenu(bool bRevert);
    // The screen position of the mouse event behind the notification being handled.
    QPoint GetMessagePos() const { return m_messagePos; }
    QMenuBar *GetMenuBar() const { return m_pMenuBar; }

    void OnCommand(std::uint32_t nID) override;
    void ShowSystemMenu();

protected:
    virtual void DoDataExchange(CDataExchange *pDX);
    // Writes the members into the controls; returns true to give the focus to the first control
    // in Tab order.
    virtual bool OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void OnSysCommand(std::uint32_t nID, std::intptr_t lParam);
    // A control's notification (NM_RCLICK from a list); GetMessagePos tells where.
    virtual void OnNotify(int nIDCtrl, std::uint32_t nCode);

    void keyPressEvent(QKeyEvent *pEvent) override;
    void reject() override;

private:
    void Build();
    QWidget *MakeControl(const ControlTemplate &control, QWidget *pParent);

    const DialogTemplate &m_template;
    bool m_bBuilt = false;
    std::map<int, QWidget *> m_controls;
    QMenuBar *m_pMenuBar = nullptr;
    QToolButton *m_pSysMenuButton = nullptr;
    CMenu m_menu;     // the menu bar's pop-ups
    CMenu m_sysMenu;  // the system menu
    QPoint m_messagePos;
};
