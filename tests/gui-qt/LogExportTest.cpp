// The log export against real files: name adjustment, the exact bytes, and every failure
// the operator can meet, with the boxes it shows.

#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sys/file.h>
#include <sys/resource.h>
#include <unistd.h>

#include "engine/Cp1251.h"
#include "gui-qt/LogExport.h"
#include "gui-qt/SaveLogDialog.h"
#include "os/ErrorText.h"
#include "serial/SerialPort.h"
#include "tests/gui-qt/ModalAnswerer.h"
#include "tests/support/RecordingToolkit.h"
#include "toolkit/ControlIds.h"

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

class LogExport : public ::testing::Test {
protected:
    void AddRows(std::initializer_list<const char*> rows) {
        for (const char* row : rows)
            Window.LogInsertRow(ControlId::LogView, Window.LogRowCount(ControlId::LogView), row);
    }
    std::string In(const std::string& name) const { return Dir.path().toStdString() + "/" + name; }

    QTemporaryDir Dir;
    RecordingToolkit Window;
    QWidget Owner;
    ModalAnswerer Operator;
};

}  // namespace

TEST_F(LogExport, ThreeRowsGiveNineBytes) {
    AddRows({"A", "B", "C"});
    gSaveLogTo(Window, In("run"), &Owner);
    EXPECT_EQ(ReadAll(In("run.txt")), "A\r\nB\r\nC\r\n");
    EXPECT_TRUE(Operator.Boxes().empty());
}

TEST_F(LogExport, RussianRowsMatchTheReferenceFile) {
    AddRows({"Открытие СОМ1", "Ответ модема: «OK» №5 — готово", "Операция завершена НЕ успешно!"});
    gSaveLogTo(Window, In("ru.txt"), &Owner);
    EXPECT_EQ(ReadAll(In("ru.txt")), ReadAll(KX_TEST_DATA "/russian_rows.ref"));
}

TEST_F(LogExport, RowWithItsOwnLineEndSpansLines) {
    AddRows({"Ошибка:\r\nERROR", "Операция завершена НЕ успешно!"});
    gSaveLogTo(Window, In("multi"), &Owner);
    EXPECT_EQ(ReadAll(In("multi.txt")), gToCp1251("Ошибка:\r\nERROR\r\nОперация завершена НЕ успешно!\r\n"));
}

TEST_F(LogExport, EmptyLogGivesEmptyFileAndEmptiesAnExistingOne) {
    gSaveLogTo(Window, In("new"), &Owner);
    ASSERT_TRUE(Exists(In("new.txt")));
    EXPECT_EQ(ReadAll(In("new.txt")), "");

    WriteAll(In("old.txt"), "an older, longer log\r\n");
    gSaveLogTo(Window, In("old.txt"), &Owner);
    EXPECT_EQ(ReadAll(In("old.txt")), "");
    EXPECT_TRUE(Operator.Boxes().empty());
}

TEST_F(LogExport, PathWithoutSeparatorWritesNothing) {
    AddRows({"A"});
    Operator.ThenPress(QMessageBox::Ok);
    // A bare name would land in the working folder, so that is where to look.
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(Dir.path().toStdString());
    gSaveLogTo(Window, "run", &Owner);
    EXPECT_FALSE(Exists(In("run.txt")));
    EXPECT_FALSE(Exists(In("run")));
    std::filesystem::current_path(before);

    ASSERT_EQ(Operator.Boxes().size(), 1u);
    const SeenBox& box = Operator.Boxes()[0];
    EXPECT_EQ(box.Text, "Ошибка выполнения!");
    EXPECT_EQ(box.Caption, "Ошибка");
    EXPECT_EQ(box.Icon, QMessageBox::Information);
    EXPECT_EQ(box.Parent, &Owner);
}

TEST_F(LogExport, MissingFolderIsReportedAndNothingCreated) {
    Operator.ThenPress(QMessageBox::Ok);
    // A name that looks like markup is still shown as it is.
    const std::string path = In("<b>missing</b>/run.txt");
    EXPECT_EQ(gWriteTxtFile(path, "A\r\n", &Owner), 0);
    EXPECT_FALSE(Exists(In("<b>missing</b>")));

    ASSERT_EQ(Operator.Boxes().size(), 1u);
    const SeenBox& box = Operator.Boxes()[0];
    EXPECT_EQ(box.Text.toStdString(), gGetErrorText(ENOENT) + " (gWriteTxtFile (1) - " + path + ")");
    EXPECT_EQ(box.Format, Qt::PlainText);
    EXPECT_EQ(box.Caption, "Информация");
    EXPECT_EQ(box.Icon, QMessageBox::Information);
    EXPECT_EQ(box.Parent, &Owner);
}

TEST_F(LogExport, FileHeldByAnotherOpenerIsLeftAlone) {
    const std::string path = In("held.txt");
    WriteAll(path, "kept");
    const int other = open(path.c_str(), O_RDONLY);
    ASSERT_GE(other, 0);
    ASSERT_EQ(flock(other, LOCK_EX), 0);

    Operator.ThenPress(QMessageBox::Ok);
    EXPECT_EQ(gWriteTxtFile(path, "new", &Owner), 0);
    close(other);
    EXPECT_EQ(ReadAll(path), "kept");
    ASSERT_EQ(Operator.Boxes().size(), 1u);
    EXPECT_EQ(Operator.Boxes()[0].Text.toStdString(),
              gGetErrorText(EWOULDBLOCK) + " (gWriteTxtFile (1) - " + path + ")");
}

TEST_F(LogExport, WriteFailureKeepsWhatWasWrittenAndGoesOn) {
    const std::string path = In("limited.txt");
    // A file size limit of 4 bytes; ignoring its signal turns it into a write error.
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit limited = old;
    limited.rlim_cur = 4;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);

    Operator.ThenPress(QMessageBox::Ok);
    const int result = gWriteTxtFile(path, "A\r\nB\r\nC\r\n", &Owner);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadAll(path), "A\r\nB");
    ASSERT_EQ(Operator.Boxes().size(), 1u);
    const SeenBox& box = Operator.Boxes()[0];
    EXPECT_EQ(box.Icon, QMessageBox::Critical);
    EXPECT_TRUE(box.Text.contains(QString::fromStdString(path))) << box.Text.toStdString();
    EXPECT_TRUE(box.Text.contains(QString::fromStdString(gGetErrorText(EFBIG)))) << box.Text.toStdString();
    EXPECT_EQ(box.Parent, &Owner);
}

// The save-file dialog, played by the operator.
class SaveDialog : public LogExport {
protected:
    // Types name into the dialog, opened in the test folder, and confirms.
    ModalAnswerer::Answer Choose(const std::string& name) {
        return [this, name](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            ASSERT_NE(dialog, nullptr);
            dialog->setDirectory(Dir.path());
            // Typed, as the operator does: the name field has the focus.
            auto* field = dialog->findChild<QLineEdit*>("fileNameEdit");
            ASSERT_NE(field, nullptr);
            field->setText(QString::fromStdString(name));
            auto* buttons = dialog->findChild<QDialogButtonBox*>();
            ASSERT_NE(buttons, nullptr);
            buttons->button(QDialogButtonBox::Save)->click();
        };
    }
    static ModalAnswerer::Answer Cancel() {
        return [](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); };
    }
};

TEST_F(SaveDialog, OffersSaveModeTitleAndOneFilter) {
    SaveLogDialog dialog(&Owner);
    EXPECT_EQ(dialog.windowTitle(), "Сохранить...");
    EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(dialog.nameFilters(), QStringList{"Текстовые файлы (*.txt)"});
    EXPECT_TRUE(dialog.defaultSuffix().isEmpty());
    EXPECT_FALSE(dialog.testOption(QFileDialog::DontConfirmOverwrite));
    EXPECT_FALSE(dialog.testOption(QFileDialog::ReadOnly));
}

TEST_F(SaveDialog, CancelChangesNothing) {
    Operator.Then(Cancel());
    EXPECT_EQ(gAskSaveLogPath(&Owner), std::nullopt);
    EXPECT_TRUE(Operator.Boxes().empty());
    EXPECT_TRUE(Operator.AllAnswered());
}

TEST_F(SaveDialog, NewNameIsConfirmedThenItsTxtFileReplacedWithoutAsking) {
    WriteAll(In("run.txt"), "older");
    AddRows({"A"});
    Operator.Then(Choose("run"));
    Operator.ThenPress(QMessageBox::Yes);
    const auto chosen = gAskSaveLogPath(&Owner);
    ASSERT_EQ(chosen, In("run"));
    gSaveLogTo(Window, *chosen, &Owner);

    EXPECT_EQ(ReadAll(In("run.txt")), "A\r\n");
    ASSERT_EQ(Operator.Boxes().size(), 1u);
    EXPECT_EQ(Operator.Boxes()[0].Caption, "Сохранить...");
    EXPECT_TRUE(Operator.Boxes()[0].Text.contains("run"));
    EXPECT_TRUE(Operator.Boxes()[0].Text.contains("Создать"));
    EXPECT_EQ(Operator.Boxes()[0].Format, Qt::PlainText);
}

// From the keyboard alone: Enter in the name field, Enter at the creation question.
TEST_F(SaveDialog, TypedNameAndEnterTwiceSaveTheLog) {
    AddRows({"A"});
    Operator.Then([this](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        dialog->setDirectory(Dir.path());
        auto* field = dialog->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(field, nullptr);
        QTest::keyClicks(field, "keyed");
        QTest::keyClick(field, Qt::Key_Return);
    });
    Operator.Then([](QWidget* box) {
        QWidget* dialog = box->parentWidget();
        QTest::keyClick(box, Qt::Key_Return);
        // Left open, the dialog would wait for the operator for ever.
        QTimer::singleShot(0, dialog, [dialog] {
            ADD_FAILURE() << "the dialog stayed open";
            qobject_cast<QDialog*>(dialog)->reject();
        });
    });
    const auto chosen = gAskSaveLogPath(&Owner);
    ASSERT_EQ(chosen, In("keyed"));
    gSaveLogTo(Window, *chosen, &Owner);
    EXPECT_EQ(ReadAll(In("keyed.txt")), "A\r\n");
    ASSERT_EQ(Operator.Boxes().size(), 1u);
    EXPECT_TRUE(Operator.Boxes()[0].Text.contains("keyed"));
}

TEST_F(SaveDialog, RefusedCreationKeepsTheDialogOpen) {
    Operator.Then(Choose("first"));
    // The dialog is not shown again after "No": the next name goes to it as it stays open.
    Operator.Then([this](QWidget* box) {
        QWidget* dialog = box->parentWidget();
        ModalAnswerer::Press(QMessageBox::No)(box);
        QTimer::singleShot(0, dialog, [this, dialog] { Choose("second")(dialog); });
    });
    Operator.ThenPress(QMessageBox::Yes);
    EXPECT_EQ(gAskSaveLogPath(&Owner), In("second"));
    EXPECT_EQ(Operator.Boxes().size(), 2u);
    EXPECT_FALSE(Exists(In("first")));
}

TEST_F(SaveDialog, ExistingFileIsAskedAboutOnlyOnce) {
    WriteAll(In("log.txt"), "older");
    Operator.Then(Choose("log.txt"));
    Operator.ThenPress(QMessageBox::Yes);
    EXPECT_EQ(gAskSaveLogPath(&Owner), In("log.txt"));
    ASSERT_EQ(Operator.Boxes().size(), 1u);
    EXPECT_FALSE(Operator.Boxes()[0].Text.contains("Создать"));
}
