#include <QString>

// The toolkit version the screens were built against, shown in the about box.
QString versionToolkit() { return QString::fromLatin1(qVersion()); }
