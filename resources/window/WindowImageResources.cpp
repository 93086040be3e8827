// The window bitmaps are compiled from the generated files by qt_add_resources; this file only
// gives the library a translation unit of its own.
