#include "app/KXExifViewController.h"

#include <QDialog>
#include <QHeaderView>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <charconv>

namespace {
const char* const kGeneral = "General";

std::string withoutBraces(std::string name) {
    name.erase(std::remove_if(name.begin(), name.end(), [](char c) { return c == '{' || c == '}'; }),
               name.end());
    return name;
}
} // namespace

KXExifViewController::KXExifViewController(foundation::Dictionary exifDictionary)
    : _exifDictionary(std::move(exifDictionary)) {
    parceDictionary();
}

KXExifViewController::~KXExifViewController() {
    hidePanel();
}

void KXExifViewController::parceDictionary() {
    for (const auto& [key, value] : _exifDictionary) {
        if (const foundation::Dictionary* dictionary = value.getDictionary()) {
            const std::string name = withoutBraces(key);
            if (checkForPermittedKeys(name)) _otherInfo[name] = *dictionary;
        } else if (value.type() != foundation::Value::Type::Object) {
            // Objects (the file's raw metadata blocks) are carried for saving, not shown.
            _generalInfo[key] = value;
        }
    }
    _otherInfo[kGeneral] = _generalInfo;
    _sortedKeys.push_back(kGeneral);
    for (const auto& [name, rows] : _otherInfo)
        if (name != kGeneral) _sortedKeys.push_back(name); // the map keeps them in ascending order
}

std::vector<std::string> KXExifViewController::rowKeys(const std::string& tab) const {
    std::vector<std::string> keys;
    if (auto found = _otherInfo.find(tab); found != _otherInfo.end())
        for (const auto& [key, value] : found->second)
            keys.push_back(key);
    return keys;
}

std::string KXExifViewController::rowValue(const std::string& tab, const std::string& key) const {
    auto found = _otherInfo.find(tab);
    if (found == _otherInfo.end()) return {};
    auto row = found->second.find(key);
    return row == found->second.end() ? std::string() : displayValue(row->second);
}

std::string KXExifViewController::displayValue(const foundation::Value& value) {
    using Type = foundation::Value::Type;
    switch (value.type()) {
    case Type::Null:
        return {};
    case Type::Bool:
        return *value.getBool() ? "1" : "0";
    case Type::Integer:
        return std::to_string(*value.getInt64());
    case Type::Real: {
        char text[32];
        const auto result = std::to_chars(text, text + sizeof text, *value.getDouble());
        return std::string(text, result.ptr);
    }
    case Type::String:
        return *value.getString();
    case Type::Bytes:
        return "<" + std::to_string(value.getBytes()->size()) + " bytes>";
    case Type::Array: {
        const foundation::Array& elements = *value.getArray();
        std::string joined;
        for (size_t i = 0; i < elements.size(); ++i)
            joined += (i ? "." : "") + displayValue(elements[i]);
        return joined;
    }
    case Type::Dictionary: {
        std::string text = "{";
        for (const auto& [key, element] : *value.getDictionary())
            text += (text.size() > 1 ? "; " : " ") + key + " = " + displayValue(element);
        return text + (text.size() > 1 ? " }" : "}");
    }
    case Type::Object:
        return {};
    }
    return {};
}

void KXExifViewController::createView() {
    if (!_exifPanel) {
        _exifPanel = new QDialog(nullptr, Qt::Tool);
        _exifPanel->setWindowTitle("Metadata");
        _exifPanel->setAttribute(Qt::WA_DeleteOnClose, false);
        _exifPanel->resize(420, 460);
        auto* layout = new QVBoxLayout(_exifPanel);
        layout->setContentsMargins(8, 8, 8, 8);
        _tabView = new QTabWidget(_exifPanel);
        layout->addWidget(_tabView);
        QObject::connect(_tabView, &QTabWidget::currentChanged, _exifPanel,
                         [this](int index) { reloadTab(index); });
    }
    const QSignalBlocker blocker(_tabView);
    while (_tabView->count() > 0) {
        QWidget* page = _tabView->widget(0);
        _tabView->removeTab(0);
        delete page;
    }
    _tables.clear();
    for (const std::string& name : _sortedKeys) {
        auto* table = new QTableWidget(0, 2);
        table->setHorizontalHeaderLabels({"Key", "Value"});
        table->horizontalHeader()->setStretchLastSection(true);
        table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
        table->verticalHeader()->setVisible(false);
        QFont font = table->font();
        font.setPixelSize(12); // fits the 17-point rows
        table->setFont(font);
        table->verticalHeader()->setMinimumSectionSize(kRowHeight);
        table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        table->verticalHeader()->setDefaultSectionSize(kRowHeight);
        table->setEditTriggers(QAbstractItemView::NoEditTriggers);
        table->setSelectionBehavior(QAbstractItemView::SelectRows);
        table->setObjectName(QString::fromStdString(name));
        _tables.push_back(table);
        _tabView->addTab(table, QString::fromStdString(name));
    }
    _tabView->setCurrentIndex(0);
    reloadTab(0);
}

void KXExifViewController::reloadTab(int index) {
    for (size_t i = 0; i < _tables.size(); ++i) {
        QTableWidget* table = _tables[i];
        if (int(i) != index) {
            table->setRowCount(0);
            continue;
        }
        const std::string& tab = _sortedKeys[i];
        const std::vector<std::string> keys = rowKeys(tab);
        table->setRowCount(int(keys.size()));
        for (size_t row = 0; row < keys.size(); ++row) {
            table->setItem(int(row), 0, new QTableWidgetItem(QString::fromStdString(keys[row])));
            table->setItem(int(row), 1,
                           new QTableWidgetItem(QString::fromStdString(rowValue(tab, keys[row]))));
        }
    }
}

int KXExifViewController::numberOfRowsInTableView(const QTableWidget* table) const {
    if (!_tabView || _tabView->currentWidget() != table) return 0;
    return table->rowCount();
}

void KXExifViewController::showEXIFInfo() {
    createView();
    _exifPanel->show();
    _exifPanel->raise();
}

void KXExifViewController::hidePanel() {
    if (_exifPanel) {
        _exifPanel->close();
        delete _exifPanel.data();
    }
    _tabView = nullptr;
    _tables.clear();
}
