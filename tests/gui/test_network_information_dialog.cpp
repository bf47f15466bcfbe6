// The "Network Information" dialog shows the network record, one label per field, one OK button.
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "tools/gui/network_information_dialog.h"
#include "tools/net_environment.h"

namespace {

// A record with IPX, NetWare and a host, without VINES.
NetProbeHooks workstation() {
  NetProbeHooks h;
  h.operatingSystem = [] { return std::string("TestOS 1.0 (test)"); };
  h.udpAvailable = [] { return true; };
  h.tcpAvailable = [] { return true; };
  h.hostName = [] { return std::string("printhost"); };
  h.resolveIPv4 = [](const std::string&) { return std::string("192.0.2.10"); };
  h.ipxAdapterCount = [] { return 1; };
  h.ipxAdapterAddress = [](int, const std::string&, IpxAdapterAddress& out) {
    out = {{0, 0, 0, 0x2A}, {0, 0, 0xC0, 0, 2, 0x0A}};
    return true;
  };
  h.netwareClientInit = [] { return true; };
  h.vinesLibraryLoads = [] { return false; };
  h.snmpStartup = [](smiLPUINT32 ma, smiLPUINT32 mi, smiLPUINT32, smiLPUINT32, smiLPUINT32) {
    *ma = 1;
    *mi = 1;
    return SNMPAPI_SUCCESS;
  };
  h.snmpSetTranslateMode = [](smiUINT32) { return SNMPAPI_SUCCESS; };
  h.snmpCleanup = [] { return SNMPAPI_SUCCESS; };
  return h;
}

QString valueOf(const QDialog& dialog, const char* label) {
  auto* value = dialog.findChild<QLabel*>(QStringLiteral("value:") + QLatin1String(label));
  return value ? value->text() : QStringLiteral("<no field>");
}

}  // namespace

class TestNetworkInformationDialog : public QObject {
  Q_OBJECT

 private slots:
  void showsTheRecord() {
    CNetEnvironment env(workstation());
    QVERIFY(CNetEnvironment::probeSucceeded(env.probe()));
    CNetworkInformationDlg dialog(env);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Network Information"));

    const struct {
      const char* label;
      const char* text;
    } expected[] = {
        {"Winsock:", CNetEnvironment::kSocketLayerDescription},
        {"Host Name:", "printhost"},
        {"Host IP Address:", "192.0.2.10"},
        {"IPX Subnet:", "0000002A (1)"},
        {"Hardware Address:", "0000C000020A (1)"},
        {"Operating System:", "TestOS 1.0 (test)"},
        {"IP Support:", "Yes"},
        {"IPX Support:", "Yes"},
        {"VINES Support:", "No"},
        {"Novell Support:", "Yes"},
    };
    const QList<QLabel*> labels = dialog.findChildren<QLabel*>();
    for (const auto& e : expected) {
      QCOMPARE(valueOf(dialog, e.label), QString::fromUtf8(e.text));
      bool labelShown = false;
      for (const QLabel* l : labels) labelShown = labelShown || l->text() == QLatin1String(e.label);
      QVERIFY2(labelShown, e.label);
    }
    env.close();
  }

  void unprobedRecordShowsUnknown() {
    CNetEnvironment env(workstation());
    CNetworkInformationDlg dialog(env);
    QCOMPARE(valueOf(dialog, "Host Name:"), QStringLiteral("Unknown"));
    QCOMPARE(valueOf(dialog, "IPX Subnet:"), QStringLiteral("Unknown"));
    QCOMPARE(valueOf(dialog, "IP Support:"), QStringLiteral("No"));
  }

  void networkTextIsNotMarkup() {
    NetProbeHooks hooks = workstation();
    hooks.hostName = [] { return std::string("<b>bold</b>"); };
    CNetEnvironment env(hooks);
    env.probe();
    CNetworkInformationDlg dialog(env);
    auto* value = dialog.findChild<QLabel*>(QStringLiteral("value:Host Name:"));
    QVERIFY(value);
    QCOMPARE(value->textFormat(), Qt::PlainText);
    env.close();
  }

  void oneOkButtonCloses() {
    CNetEnvironment env(workstation());
    CNetworkInformationDlg dialog(env);
    const auto boxes = dialog.findChildren<QDialogButtonBox*>();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0]->buttons().size(), 1);
    QPushButton* ok = boxes[0]->button(QDialogButtonBox::Ok);
    QVERIFY(ok);
    dialog.show();
    ok->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(!dialog.isVisible());
  }
};

QTEST_MAIN(TestNetworkInformationDialog)
#include "test_network_information_dialog.moc"
