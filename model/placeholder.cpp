namespace pavlex {}
