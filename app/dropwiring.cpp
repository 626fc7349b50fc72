// How the controls, keys and menu of the window reach its handlers.

#include "app/dropunit.h"

#include "app/droplistmodel.h"
#include "app/helpviewer.h"
#include "app/namecompletion.h"
#include "app/radiofocus.h"
#include "ui_dropunit.h"

#include <QAction>
#include <QStandardItemModel>

void TForm1::connectHandlers() {
    const std::pair<ChoiceCombo*, QPushButton*> rows[] = {
        {ui_->MonList, ui_->MonSearch},           {ui_->ItList, ui_->ItSearch},
        {ui_->SetList, ui_->SetItSearch},         {ui_->MonSetList, ui_->SetMonSearch},
        {ui_->UniMonList, ui_->UniMonsterSearch}, {ui_->UniItemList, ui_->UniItemSearch}};
    for (const auto& [box, search] : rows) {
        connect(box, &ChoiceCombo::entered, search, &QPushButton::click);
        if (box != ui_->SetList)
            offerNames(box);
    }
    offerSetMembers(ui_->SetList, setMembers_,
                    [this](const QModelIndex& member) { chooseSetMember(member); });
    offerNames(ui_->BaseSetList);
    connect(ui_->MonSearch, &QPushButton::clicked, this, &TForm1::MonSearchClick);
    connect(ui_->ItSearch, &QPushButton::clicked, this, &TForm1::ItSearchClick);
    connect(ui_->UniItemSearch, &QPushButton::clicked, this, &TForm1::UniItemSearchClick);
    connect(ui_->UniMonsterSearch, &QPushButton::clicked, this, &TForm1::UniMonsterSearchClick);
    connect(ui_->SetItSearch, &QPushButton::clicked, this, &TForm1::SetItSearchClick);
    connect(ui_->SetMonSearch, &QPushButton::clicked, this, &TForm1::SetMonSearchClick);
    connect(ui_->BaseSetList, &ChoiceCombo::chosen, this, &TForm1::BaseSetListClick);
    connect(ui_->BaseSetList, &ChoiceCombo::entered, this, [this] {
        if (ui_->BaseSetList->findText(ui_->BaseSetList->currentText(), Qt::MatchExactly) >= 0)
            BaseSetListClick();
    });
    connect(ui_->Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    connect(ui_->CalcMf, &QPushButton::clicked, this, &TForm1::CalcMfClick);
    connect(ui_->MagicFind, &QLineEdit::returnPressed, this, &TForm1::CalcMfClick);
    connect(searches_.get(), &SearchRunner::busy, this, [this] { ui_->DropList->setBusy(true); });
    connect(searches_.get(), &SearchRunner::ended, this, [this] { ui_->DropList->setBusy(false); });
    connect(ui_->DropList, &DropListView::suggestionChosen, this, &TForm1::searchSuggestion);
    connect(model_, &DropListModel::headingsChanged, this,
            [this](const QString& name, const QString& drop) {
                setHeading(ui_->NameLabel, name);
                setHeading(ui_->DropLabel, drop);
            });
}

void TForm1::connectKeys() {
    const auto addKey = [this](const QString& text, const QKeySequence& key, auto slot) {
        auto* action = new QAction(text, this);
        action->setShortcut(key);
        connect(action, &QAction::triggered, this, slot);
        addAction(action);
        return action;
    };
    ui_->DropList->addAction(addKey(QStringLiteral("&Open data folder\u2026"), QKeySequence::Open,
                                    &TForm1::chooseFolder));
    addKey(QStringLiteral("Reload"), QKeySequence(Qt::Key_F5), &TForm1::reload);
    addKey(QStringLiteral("Help"), QKeySequence(Qt::Key_F1), &TForm1::showHelp);
    ui_->DropList->addAction(addKey(QStringLiteral("&Check data folder"), QKeySequence(Qt::Key_F7),
                                    &TForm1::checkFolder));
    compare_ = addKey(QStringLiteral("Co&mpare with folder\u2026"), QKeySequence(),
                      &TForm1::compareWithFolder);
    compare_->setEnabled(false); // until an answer is shown
    ui_->DropList->addAction(compare_);
    tabToSelectedRadio(this);
    HelpViewer::openOnClick(ui_->Label4);
}
