#!/usr/bin/env bash
# completa-msi.sh PACKAGE.msi x86|x64
#
# Adds to the package wixl made from Trevalto.wxs what wixl 0.101 cannot
# write, through SQL on the package's own tables (msibuild, msitools):
#  - the search for the host: its application path entry, whose default
#    value wixl's RegistrySearch cannot name (it needs a value name), read
#    as a file path so that the file must exist; the x64 package reads both
#    registry views, since the 32-bit host's installer writes the 32-bit
#    one. And the file quandora.exe in the folder QUANDORAPATH names, and in
#    the folder a former installation was given (DrLocator, Signature);
#  - cfg.ini beside the program (IniFile table: wixl has no IniFile
#    element), and the condition of its component (wixl has no component
#    conditions): only when QUANDORAPATH is given or remembered, and the
#    file removed with it;
#  - the Start-menu shortcuts as plain links to their files (wixl makes
#    every shortcut an advertised one, which points at the feature), and
#    the Start-menu folder as the folder RemoveFolder removes (wixl takes
#    the component's folder);
#  - QUANDORAPATH among the secure properties, so that a per-machine
#    installation takes it from the command line.
set -euo pipefail
msi=$1
arch=$2

# Registry searches: 16 reads the 64-bit view (msidbLocatorType64bit).
vista=0
[ "$arch" = x64 ] && vista=16
app_paths='Software\Microsoft\Windows\CurrentVersion\App Paths\quandora.exe'

q=()
sql() { q+=(-q "$1"); }

# The host by its application path entry: 1 = the value is a file's path.
sql "INSERT INTO \`RegLocator\` (\`Signature_\`, \`Root\`, \`Key\`, \`Type\`)
     VALUES ('AppPathQuandora', 2, '$app_paths', $((1 + vista)))"
sql "INSERT INTO \`AppSearch\` (\`Property\`, \`Signature_\`) VALUES ('QUANDORAEXE', 'AppPathQuandora')"
if [ "$arch" = x64 ]; then
    sql "INSERT INTO \`RegLocator\` (\`Signature_\`, \`Root\`, \`Key\`, \`Type\`)
         VALUES ('AppPathQuandora32', 2, '$app_paths', 1)"
    sql "INSERT INTO \`AppSearch\` (\`Property\`, \`Signature_\`)
         VALUES ('QUANDORAEXE32', 'AppPathQuandora32')"
fi

# quandora.exe in the folder named on the command line, and in the one
# remembered (0 = the value is a folder, searched for the signature's file).
sql "INSERT INTO \`Signature\` (\`Signature\`, \`FileName\`) VALUES ('QuandoraInCartella', 'quandora.exe')"
sql "INSERT INTO \`Signature\` (\`Signature\`, \`FileName\`) VALUES ('QuandoraRicordata', 'quandora.exe')"
sql "CREATE TABLE \`DrLocator\` (\`Signature_\` CHAR(72) NOT NULL, \`Parent\` CHAR(72),
     \`Path\` CHAR(255), \`Depth\` SHORT PRIMARY KEY \`Signature_\`, \`Parent\`, \`Path\`)"
sql "INSERT INTO \`DrLocator\` (\`Signature_\`, \`Path\`, \`Depth\`)
     VALUES ('QuandoraInCartella', '[QUANDORAPATH]', 0)"
sql "INSERT INTO \`AppSearch\` (\`Property\`, \`Signature_\`)
     VALUES ('QUANDORAPATH_EXE', 'QuandoraInCartella')"
sql "INSERT INTO \`RegLocator\` (\`Signature_\`, \`Root\`, \`Key\`, \`Name\`, \`Type\`)
     VALUES ('QuandoraRicordata', 2, 'Software\\Trevalto', 'QuandoraPath', $vista)"
sql "INSERT INTO \`AppSearch\` (\`Property\`, \`Signature_\`)
     VALUES ('QUANDORAEXE_RICORDATO', 'QuandoraRicordata')"

# cfg.ini: section Quandora, key Path, the host's folder (0 = add or
# replace the line). Removed with the component.
sql "CREATE TABLE \`IniFile\` (\`IniFile\` CHAR(72) NOT NULL, \`FileName\` CHAR(255) NOT NULL
     LOCALIZABLE, \`DirProperty\` CHAR(72), \`Section\` CHAR(96) NOT NULL LOCALIZABLE,
     \`Key\` CHAR(128) NOT NULL LOCALIZABLE, \`Value\` CHAR(255) NOT NULL LOCALIZABLE,
     \`Action\` SHORT NOT NULL, \`Component_\` CHAR(72) NOT NULL PRIMARY KEY \`IniFile\`)"
sql "INSERT INTO \`IniFile\` (\`IniFile\`, \`FileName\`, \`DirProperty\`, \`Section\`, \`Key\`,
     \`Value\`, \`Action\`, \`Component_\`)
     VALUES ('CfgQuandora', 'cfg.ini', 'INSTALLDIR', 'Quandora', 'Path', '[QUANDORAPATH]', 0,
             'Configurazione')"
# The condition holds at removal too: Wine's installer weighs component
# conditions then as well, and would leave the file and the remembered
# folder behind where Quandora went first.
sql "UPDATE \`Component\` SET \`Condition\` = 'QUANDORAPATH OR REMOVE~=\"ALL\"'
     WHERE \`Component\` = 'Configurazione'"
# Removing its line leaves the file; the file is the package's own (2 = at
# removal).
sql "INSERT INTO \`RemoveFile\` (\`FileKey\`, \`Component_\`, \`FileName\`, \`DirProperty\`,
     \`InstallMode\`) VALUES ('CfgIni', 'Configurazione', 'cfg.ini', 'INSTALLDIR', 2)"

sql "UPDATE \`Shortcut\` SET \`Target\` = '[#Trevalto.exe]' WHERE \`Shortcut\` = 'MenuTrevalto'"
sql "UPDATE \`Shortcut\` SET \`Target\` = '[#Leggimi.htm]' WHERE \`Shortcut\` = 'MenuLeggimi'"
sql "UPDATE \`RemoveFile\` SET \`DirProperty\` = 'MenuTrevaltoDir' WHERE \`FileKey\` = 'MenuTrevaltoDir'"

sql "UPDATE \`Property\` SET \`Value\` = 'QUANDORAPATH;WIX_DOWNGRADE_DETECTED;WIX_UPGRADE_DETECTED'
     WHERE \`Property\` = 'SecureCustomProperties'"

msibuild "$msi" "${q[@]}"
