#pragma once

// The window program's way into the report wizard. TAudioFile knows no
// widgets; InstallReportWizard registers the opener that
// TAudioFile::ShowReportWizard calls.

class TAudioFile;

// Opens the report wizard modally for owner.FileList (nothing for an empty
// list) and keeps the dialog's charset line in owner.ReportCharset however
// the dialog was closed, so the next report of this run starts with it.
void OpenReportWizard(TAudioFile& owner);

// Registers OpenReportWizard with TAudioFile. main() calls it once, after
// the QApplication exists.
void InstallReportWizard();
