// Nothing: the libraries of the layer check are only linked, never used.
