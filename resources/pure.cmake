# Pure sources of resources/ (no Windows header); also compiled by tools/ natively.
list(APPEND TAVIK_PURE_SOURCES)
