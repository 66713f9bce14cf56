#include "UiTestSupport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "controls/SkinListCtrl.h"
#include "ui/DialogItems.h"

CSandbox::CSandbox(bool copyTemplates)
{
    hadConfigHome = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    oldConfigHome = qgetenv("XDG_CONFIG_HOME");
    hadDataHome = qEnvironmentVariableIsSet("XDG_DATA_HOME");
    oldDataHome = qgetenv("XDG_DATA_HOME");
    hadStateHome = qEnvironmentVariableIsSet("XDG_STATE_HOME");
    oldStateHome = qgetenv("XDG_STATE_HOME");
    if (!root.isValid())
        return;
    QDir(root.path()).mkpath(QStringLiteral("program"));
    QDir(root.path()).mkpath(QStringLiteral("config"));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(root.filePath(QStringLiteral("config"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(root.filePath(QStringLiteral("data"))));
    qputenv("XDG_STATE_HOME", QFile::encodeName(root.filePath(QStringLiteral("state"))));
    if (copyTemplates) {
        const QDir data(QStringLiteral(ORRERY_DATA_DIR));
        for (const QFileInfo& file : data.entryInfoList({QStringLiteral("*.xml")}, QDir::Files))
            QFile::copy(file.filePath(), root.filePath(QStringLiteral("program/") + file.fileName()));
    }
}

CSandbox::~CSandbox()
{
    if (hadConfigHome)
        qputenv("XDG_CONFIG_HOME", oldConfigHome);
    else
        qunsetenv("XDG_CONFIG_HOME");
    if (hadDataHome)
        qputenv("XDG_DATA_HOME", oldDataHome);
    else
        qunsetenv("XDG_DATA_HOME");
    if (hadStateHome)
        qputenv("XDG_STATE_HOME", oldStateHome);
    else
        qunsetenv("XDG_STATE_HOME");
}

std::string CSandbox::ProgramFolder() const
{
    return Path("program");
}

std::string CSandbox::ConfigHome() const
{
    return Path("config");
}

std::string CSandbox::Path(const std::string& relative) const
{
    return QFile::encodeName(root.filePath(QString::fromStdString(relative))).toStdString();
}

bool CSandbox::WriteFile(const std::string& relative, const std::string& text) const
{
    const QString path = root.filePath(QString::fromStdString(relative));
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(text.data(), static_cast<qint64>(text.size())) == static_cast<qint64>(text.size());
}

std::unique_ptr<COrreryDlg> CSandbox::MakeDialog() const
{
    return std::make_unique<COrreryDlg>(ProgramFolder(), std::make_unique<CPromptDouble>(log));
}

std::unique_ptr<COrreryDlg> CSandbox::ShowDialog() const
{
    auto dialog = MakeDialog();
    dialog->OnInitDialog();
    dialog->show();
    if (!QTest::qWaitForWindowExposed(dialog.get()))
        return nullptr;
    return dialog;
}

QChar Mnemonic(const QString& text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == QLatin1Char('&')) {
            if (text[i + 1] != QLatin1Char('&'))
                return text[i + 1].toUpper();
            ++i;
        }
    }
    return {};
}

std::string ProfileText(const std::string& name, const std::string& device, int type, const std::string& extraCommon)
{
    std::string text = "<profile name=\"" + name + "\" description=\"Test profile " + name +
                       "\" version=\"200\" device=\"" + device + "\" tag=\"\" type=\"" + std::to_string(type) +
                       "\">\r\n<common>\r\n";
    text += extraCommon;
    text += "</common>\r\n</profile>\r\n";
    return text;
}

QStringList ListTexts(const CSkinListCtrl* list)
{
    QStringList texts;
    for (int row = 0; row < list->RowCount(); ++row)
        texts << list->GetCellText(row, 1);
    return texts;
}

QList<int> CheckedRows(const CSkinListCtrl* list)
{
    QList<int> rows;
    for (int row = 0; row < list->RowCount(); ++row) {
        if (list->GetToggle(row, 0) == 1)
            rows << row;
    }
    return rows;
}

QStringList ComboTexts(const QWidget* widget)
{
    QStringList texts;
    if (const auto* combo = qobject_cast<const QComboBox*>(widget)) {
        for (int i = 0; i < combo->count(); ++i)
            texts << combo->itemText(i);
    }
    return texts;
}

std::string ReadBytes(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return "<missing>";
    return file.readAll().toStdString();
}

bool FileExists(const std::string& path)
{
    return QFileInfo(QString::fromStdString(path)).isFile();
}

profile::CProfileFile LoadProfileFile(const std::string& path)
{
    profile::CProfileFile profile;
    profile.CreateDefault();
    profile.Load(path);
    return profile;
}

bool Choose(QWidget* widget, const QString& text)
{
    auto* combo = qobject_cast<QComboBox*>(widget);
    if (combo == nullptr)
        return false;
    // An item shown under a label (a built-in profile) is still chosen by its own text,
    // read as the window shows it.
    int index = -1;
    for (int i = 0; i < combo->count() && index < 0; ++i) {
        if (ToQt(ItemBytes(combo, i)) == text)
            index = i;
    }
    if (index < 0)
        return false;
    combo->setCurrentIndex(index);
    emit combo->activated(index);
    return true;
}

void TypeInto(QWidget* edit, const QString& text)
{
    edit->setFocus();
    if (auto* line = qobject_cast<QLineEdit*>(edit)) {
        line->selectAll();
        if (text.isEmpty())
            QTest::keyClick(line, Qt::Key_Delete);
        else
            QTest::keyClicks(line, text);
    } else if (auto* multi = qobject_cast<QPlainTextEdit*>(edit)) {
        multi->selectAll();
        if (text.isEmpty())
            QTest::keyClick(multi, Qt::Key_Delete);
        else
            QTest::keyClicks(multi, text);
    }
}

bool WriteTemplateProfile(const CSandbox& sandbox, const std::string& relative, const std::string& templateName,
                          const std::string& name, const std::string& device, const std::string& tag,
                          const std::string& description)
{
    profile::CProfileFile profile;
    profile.CreateDefault();
    if (!profile.Load(std::string(ORRERY_DATA_DIR) + "/" + templateName))
        return false;
    profile.name = name;
    profile.device = device;
    profile.tag = tag;
    if (!description.empty())
        profile.description = description;
    const std::string path = sandbox.Path(relative);
    QDir().mkpath(QFileInfo(QString::fromStdString(path)).path());
    return profile.Save(path);
}
