placeholder log.xsl
