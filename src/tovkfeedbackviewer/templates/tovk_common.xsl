placeholder tovk_common.xsl
