// The newer Kesh layout: read and written without conversion, since the model's header
// is the file's header.
#pragma once

// "Open Verro:Kesh...": the open dialog, then the read. 1 when a car was loaded.
int OpenKeshFile();

// "Save Verro:Kesh...": the save dialog, then the write. 1 when the file was written.
int SaveKeshFile();
