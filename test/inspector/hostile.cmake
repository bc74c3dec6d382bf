# Libraries whose records are wrong on purpose, and the inspector run on them.
