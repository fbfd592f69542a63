#include "HelpTopics.h"

#include "DataLinkDirectory.h"

namespace {
QString ConnectionStringTopic() {
    return QStringLiteral(R"(
<h2>Connection strings and data link files</h2>
<p>A connection is described either by a <b>connection string</b> or by a <b>data link file</b>
that holds one. Choose the source with "Use Data Link File" or "Use Connection String".</p>

<h3>Connection strings</h3>
<p>A connection string is a list of <tt>Key=Value</tt> items separated by semicolons. Keys are
not case-sensitive. A value that contains a semicolon or a quote is written in double quotes,
with each quote inside doubled. <tt>Provider</tt> chooses how the database is reached:</p>
<dl>
<dt><b>SQLite</b> &ndash; a SQLite database file</dt>
<dd><tt>Provider=SQLite;Data Source=/home/me/data/shop.sqlite</tt></dd>
<dt><b>PostgreSQL</b> &ndash; a PostgreSQL server</dt>
<dd><tt>Provider=PostgreSQL;Host=localhost;Port=5432;Database=shop;User ID=me;Password=secret</tt></dd>
<dt><b>MSDASQL.1</b> &ndash; an ODBC data source (see <tt>odbcinst -q -s</tt>); Initial Catalog
names the database</dt>
<dd><tt>Provider=MSDASQL.1;Persist Security Info=False;Data Source=MyDSN;Initial Catalog=shop</tt></dd>
<dt><b>Microsoft.Jet.OLEDB.4.0</b> &ndash; an Access (.mdb) file, or a SQLite file; the file's
contents decide which</dt>
<dd><tt>Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info=False;Data Source=/home/me/data/nwind.mdb</tt></dd>
<dt><b>MSDAORA.1</b> &ndash; an Oracle database through the ODBC data source named by Data
Source</dt>
<dd><tt>Provider=MSDAORA.1;Persist Security Info=False;Data Source=OracleDSN;User ID=scott;Password=tiger</tt></dd>
</dl>
<p>"Build..." opens the data link dialog, which makes such a string from a provider and its
values. Passwords typed there become part of the string.</p>

<h3>Data link files</h3>
<p>A data link file (extension <tt>.udl</tt>) is a small text file that holds one connection
string, so that several programs and users can share it. The connection then reads
<tt>FILE NAME=</tt> followed by the file's path, and the string inside the file is used when
the connection opens.</p>
<p>The list offers the data link files of the data link folder:</p>
<p><tt>%1</tt></p>
<p>A file from that folder is named by its name alone; a file from anywhere else keeps its full
path. The environment variable <tt>QUORVA_DATALINK_DIR</tt> names another folder.</p>
<p>Files written on Windows are read as they are: UTF-16 text starting with the
<tt>[oledb]</tt> header and the comment line "; Everything after this line is an OLE DB
initstring", followed by the connection string. Plain UTF-8 files with the connection string
on a line of its own are read too.</p>
)")
        .arg(DataLinkDirectory().toHtmlEscaped());
}
}  // namespace

QString HelpTopicText(int context) {
    if (context == kConnectionStringHelp)
        return ConnectionStringTopic();
    return {};
}
