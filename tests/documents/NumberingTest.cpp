// (numbering tests follow)
