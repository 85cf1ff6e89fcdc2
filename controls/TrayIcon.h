#pragma once

#include "controls/TrayBackend.h"

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

#include <QMenu>

// One icon in the notification area with a pop-up menu on a left-button press.
// The main window shows it when it hides itself on minimise.
class TTrayIcon final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TTrayIcon)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(QString Title READ Title WRITE SetTitle)
    Q_PROPERTY(QIcon Icon READ Icon WRITE SetIcon)
    Q_PROPERTY(bool IconVisible READ IconVisible WRITE SetIconVisible)

public:
    // A null backend means the system's tray.
    explicit TTrayIcon(QObject* owner = nullptr, std::unique_ptr<TrayBackend> backend = nullptr);
    ~TTrayIcon() override;

    QString Hint() const { return m_hint; }
    void SetHint(const QString& hint);
    // The name a desktop lists the icon under, where its tray names icons; like the
    // hint, it shows from the next add on.
    QString Title() const { return m_title; }
    void SetTitle(const QString& title);
    QIcon Icon() const { return m_icon; }
    void SetIcon(const QIcon& icon);
    QMenu* PopupMenu() const { return m_popupMenu; }
    void SetPopupMenu(QMenu* menu);
    bool IconVisible() const { return m_iconVisible; }
    void SetIconVisible(bool visible);

    // False where the desktop has no notification area to come back from.
    bool TrayAvailable() const;

    // The tip as shown: at most 63 bytes of the hint's GBK form, cut between
    // characters so that no double-byte character is split.
    static QString TipText(const QString& hint);

private:
    enum class Command { Add, Delete };
    void NotifyShell(Command command);
    void TrayWndProc(TrayBackend::Press press);

    std::unique_ptr<TrayBackend> m_backend;
    QString m_hint = QStringLiteral("TrayIcon");
    QString m_title;
    QIcon m_icon;
    QPointer<QMenu> m_popupMenu;
    bool m_iconVisible = false;
};
