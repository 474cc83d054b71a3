#pragma once

#include <QDate>
#include <QString>
#include <functional>

// A ready database folder with made-up but realistic books: card companies
// with fee rates, daily sales per card with their fees and slip counts, and
// the card companies' pay-outs a few days after each sale. Deterministic for
// a seed.
struct DemoSpec {
    int cards = 40;
    int years = 3;
    int entries = 0; // total entries wanted; 0: about a quarter of the cards sell each day
    quint32 seed = 1;
    QDate lastDay; // the last day with entries; invalid: yesterday
    // Store every entry through LedgerStore (insert, then each field as the
    // sheet stores it). Off: the same rows in bulk, then the carry-over rebuild
    // (for the million-entry benchmark, where storing one by one takes minutes).
    bool throughStore = true;
};

// Creates `folder` with both databases and fills them. Refuses a folder that
// already holds Tallox databases. `progress` receives the entries written so far.
bool GenerateDemoData(const QString& folder, const DemoSpec& spec, QString* error,
                      const std::function<void(int written, int total)>& progress = {});

// The card-company names the generator uses, in order (40 or more).
QStringList DemoCardNames();
