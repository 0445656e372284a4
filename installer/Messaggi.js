// The package's refusals, as Windows Installer custom actions (JScript,
// run by the installer's own script host): each one puts its Italian text
// through the installer's message channel as an error, which the user
// interface shows in a box and a silent installation writes to its log
// (msiexec /l*v), then fails the installation before anything is
// installed. A launch condition would say nothing at all in a silent
// installation under Wine. Texts outside ASCII are escaped: the installer
// reads this file in the system's code page.

function Rifiuta(testo) {
    var record = Session.Installer.CreateRecord(0);
    record.StringData(0) = testo;
    Session.Message(0x01000000, record);  // msiMessageTypeError
    return 3;                             // msiDoActionStatusFailure
}

function NessunQuandora() {
    return Rifiuta("E' necessario installare Quandora.");
}

function CartellaSenzaQuandora() {
    return Rifiuta("La cartella " + Session.Property("QUANDORAPATH") +
                   " indicata in QUANDORAPATH non contiene quandora.exe. " +
                   "E' necessario installare Quandora.");
}

function VersionePiuRecente() {
    return Rifiuta("E' gi\u00e0 installata una versione pi\u00f9 recente di " +
                   "Grafico Trevalto Saldo.");
}
