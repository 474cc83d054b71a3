#pragma once

#include "core/AppContext.h"

#include <QMainWindow>
#include <memory>

// The ledger window: the program's main window.
class frmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMain(std::unique_ptr<AppContext> ctx, QWidget* parent = nullptr);
    ~frmMain() override;

    AppContext& context() { return *m_ctx; }
    static QString Caption(const QString& ledgerPath);

private:
    std::unique_ptr<AppContext> m_ctx;
};
