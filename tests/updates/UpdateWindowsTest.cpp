// SPDX-License-Identifier: MIT
#include "platform/qt/MessageBoxAlertPresenter.h"
#include "ui/updates/DialogUpdateUserDriver.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

const UpdateOffer offer{"1.4", "140", "<p>Faster <b>translations</b></p>"};

// Every way out of the dialog answers once: a button, closing it or Escape.
TEST(UpdateDialogTest, SaysWhatIsNewAndAnswersOnce)
{
    const std::pair<std::function<void(UpdateDialog&)>, UpdateChoice> rows[] = {
        // clang-format off
        {[](UpdateDialog& d) { d.installButton()->click(); }, UpdateChoice::install},
        {[](UpdateDialog& d) { d.skipButton()->click(); }, UpdateChoice::skipThisVersion},
        {[](UpdateDialog& d) { d.laterButton()->click(); }, UpdateChoice::remindLater},
        {[](UpdateDialog& d) { d.close(); }, UpdateChoice::remindLater},
        {[](UpdateDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); }, UpdateChoice::remindLater},
        // clang-format on
    };
    for (const auto& [act, expected] : rows) {
        UpdateDialog dialog(offer, "1.3");
        QList<UpdateChoice> answers;
        QObject::connect(&dialog, &UpdateDialog::chosen,
                         [&answers](UpdateChoice choice) { answers.append(choice); });
        dialog.show();
        EXPECT_TRUE(dialog.installButton()->isDefault());
        EXPECT_EQ(dialog.findChild<QTextBrowser*>()->toPlainText(), "Faster translations");
        act(dialog);
        dialog.close();
        EXPECT_EQ(answers, QList<UpdateChoice>{expected});
        EXPECT_FALSE(dialog.isVisible());
    }
    EXPECT_FALSE(UpdateDialog({"1.4", "140", ""}, "1.3").findChild<QTextBrowser*>())
        << "no notes, no notes pane";
}

// A scheduled offer opens without taking the focus; asking from the menu brings the same
// dialog forward.
TEST(DialogUpdateUserDriverTest, OnlyTheUsersOwnCheckOpensInFront)
{
    DialogUpdateUserDriver driver("1.3");
    driver.showUpdateFound(offer, [](UpdateChoice) {});
    UpdateDialog* shown = driver.dialog();
    ASSERT_TRUE(shown);
    EXPECT_TRUE(shown->isVisible());
    EXPECT_TRUE(shown->testAttribute(Qt::WA_ShowWithoutActivating));
    driver.activate();
    EXPECT_EQ(driver.dialog(), shown);
    EXPECT_FALSE(shown->testAttribute(Qt::WA_ShowWithoutActivating));
    driver.dismiss();
    EXPECT_FALSE(driver.dialog());
}

// Answers the alert that is about to run modally.
void answerNextAlert(std::function<void(QMessageBox&)> answer)
{
    QTimer::singleShot(0, [answer = std::move(answer)] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_TRUE(box);
        answer(*box);
    });
}

// A click answers with the button's index, the default first; Escape with the last one,
// which declines.
TEST(MessageBoxAlertPresenterTest, AnswersWithTheIndexOfTheButton)
{
    const Alert alert{"Move?", "", {"Move to Applications", "Not Now"}};
    MessageBoxAlertPresenter presenter;
    answerNextAlert([](QMessageBox& box) { box.defaultButton()->click(); });
    EXPECT_EQ(presenter.runModal(alert), 0);
    answerNextAlert([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); });
    EXPECT_EQ(presenter.runModal(alert), 1);
}

} // namespace
