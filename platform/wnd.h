#pragma once

#include <QPoint>
#include <QRect>
#include <QString>
#include <memory>

class QEvent;
class QObject;
class QWidget;

// A control object bound to a widget that the dialog made from its template. The object does
// not own the widget (the dialog does); it sees the widget's events first once bound, through
// WindowProc, the way a subclassed window procedure would. Lives on the GUI thread.
class CWnd
{
public:
    CWnd();
    virtual ~CWnd();

    CWnd(const CWnd &) = delete;
    CWnd &operator=(const CWnd &) = delete;

    // Binds this object to pWidget and runs PreSubclassWindow. Fails if already bound.
    bool SubclassWindow(QWidget *pWidget);
    QWidget *GetSafeHwnd() const { return m_hWnd; }

    QString GetWindowText() const;
    void GetClientRect(QRect *pRect) const;

protected:
    // Called once the object is bound, before any event reaches WindowProc.
    virtual void PreSubclassWindow() {}
    // Sees every event of the bound widget first; returns true when it has handled the event.
    virtual bool WindowProc(QEvent *pEvent);

    QWidget *m_hWnd = nullptr;

private:
    std::unique_ptr<QObject> m_pFilter;
};
