namespace pavlex::host {}
