#pragma once

#include "EngineSetup.h"
#include "EngineStatus.h"

#include <QDialog>
#include <QHash>

#include <functional>

class EngineCheckLink;
class EnginesFile;
class QComboBox;
class QProgressBar;
class QTableWidget;
class QTableWidgetItem;
class TForm7;
class TXP_Button;

// The dialog "搜索引擎管理": per page, which catalogue rows show and start ticked, and the user's
// own engines. Works on a copy of the setup; "保存" stores it and hands it to the main window,
// "退出" only hides the dialog. "检测" asks every engine of every page whether it still answers,
// through the helper program quelm-check, and shows what each did in the column "状态".
class TForm6 final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TForm6)
public:
    explicit TForm6(EnginesFile& file, QWidget* parent = nullptr);

    // Shows the dialog on the page; a hidden dialog starts again from the setup in use.
    void ShowFor(const EngineSetup& inUse, int pageIndex);

    // The file dialogs of "导入" and "导出"; tests answer them. An empty answer cancels.
    using FileChooser = std::function<QString(bool save, const QString& suggestedName)>;
    void SetFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }

    const EngineSetup& Setup() const { return m_setup; }
    QComboBox* PageBox() const { return m_page; }
    QTableWidget* List() const { return m_list; }
    TForm7* Form() const { return m_form; }
    EngineCheckLink* CheckLink() const { return m_check; }
    QProgressBar* CheckProgress() const { return m_progress; }
    TXP_Button* Button(const QString& caption) const;

    void AddClick();
    void ChangeClick();
    void RemoveClick();
    void MoveClick(int step); // 上移 -1, 下移 +1
    void ImportClick();
    void ExportClick();
    void RestoreClick();
    void CheckClick();
    void StopClick();
    void HideUnusableClick();
    void SaveClick();
    void QuitClick();

Q_SIGNALS:
    // After a successful save: the setup as stored.
    void Saved(const EngineSetup& setup);

protected:
    void hideEvent(QHideEvent* event) override;

private:
    SearchCategory Category() const;
    int CatalogueRows() const;
    // The selected user's engine, in the page's list; -1 with a message when there is none.
    int SelectedUserEngine();
    void Fill(int selectUserEngine = -1);
    void ItemChanged(QTableWidgetItem* item);
    void FormAccepted(const UserEngine& engine);
    void ShowStatus(int row);
    void Checked(int index, const EngineStatus& status);
    void CheckEnded();

    EnginesFile& m_file;
    EngineSetup m_setup;
    QComboBox* m_page;
    QTableWidget* m_list;
    TForm7* m_form;
    int m_editing = -1; // the user's engine the form changes; -1 adds one
    bool m_filling = false;
    bool m_placed = false;
    FileChooser m_chooseFile;

    EngineCheckLink* m_check;
    QProgressBar* m_progress;
    QStringList m_checkUrls;                 // what the running or last check asked, by index
    QHash<QString, EngineStatus> m_statuses; // by address: one answer serves every row asking it
    QStringList m_rowUrls;                   // the address each row of the list would ask
};
